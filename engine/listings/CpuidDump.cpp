#include "engine/listings/CpuidDump.h"

#include <array>

#include "engine/Version.h"
#include "engine/store/MyUtils.h"

namespace {

constexpr std::string_view kHeader =
    "                         eax         ebx         ecx         edx";
constexpr std::string_view kRowLead = "Function ";
constexpr std::string_view kLeafGap = "        ";
constexpr std::string_view kRegisterGap = "    ";
constexpr std::size_t kRowLength = 69;
constexpr std::size_t kLineCount = 3 + kCapturedLeaves;

bool IsHex8(std::string_view text) {
  if (text.size() != 8) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// Reads "Function LLLLLLLL        AAAAAAAA    BBBBBBBB    CCCCCCCC    DDDDDDDD".
std::optional<std::string> ParseRow(std::string_view line, std::size_t k, tCPUIDResult& out) {
  const std::string leaf = Hex8(CaptureLeaf(k));
  if (line.size() != kRowLength || line.substr(0, kRowLead.size()) != kRowLead) {
    return "expected the row \"Function " + leaf + "\" with four 8-digit registers";
  }
  if (line.substr(9, 8) != leaf) return "expected the row of leaf " + leaf;
  if (line.substr(17, kLeafGap.size()) != kLeafGap) return "expected 8 spaces after the leaf";
  std::array<std::uint32_t, 4> registers{};
  std::size_t at = 25;
  for (std::size_t r = 0; r < registers.size(); ++r) {
    if (r > 0) {
      if (line.substr(at, kRegisterGap.size()) != kRegisterGap) {
        return "expected 4 spaces between registers";
      }
      at += kRegisterGap.size();
    }
    const std::string_view digits = line.substr(at, 8);
    if (!IsHex8(digits)) return "expected 8 upper-case hexadecimal digits";
    registers[r] = HexToInt(digits);
    at += 8;
  }
  out = {registers[0], registers[1], registers[2], registers[3]};
  return std::nullopt;
}

std::optional<std::string> ParseLine(std::string_view line, std::size_t number, tCPUdata& data) {
  switch (number) {
    case 1:
      if (line != kProgramVersion) return "expected \"" + std::string(kProgramVersion) + "\"";
      return std::nullopt;
    case 2:
      if (!line.empty()) return "expected an empty line";
      return std::nullopt;
    case 3:
      if (line != kHeader) return "expected the column header \"eax ebx ecx edx\"";
      return std::nullopt;
    default:
      return ParseRow(line, number - 4, data.Row(number - 4));
  }
}

}  // namespace

std::string Hex8(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (std::size_t k = 0; k < 8; ++k)
    text[7 - k] = kDigits[(value >> (4 * k)) & 0xF];
  return text;
}

std::string FormatCpuidDump(const tCPUdata& data) {
  std::string text;
  text.reserve(kLineCount * (kRowLength + 2));
  text.append(kProgramVersion).append("\r\n");
  text.append("\r\n");
  text.append(kHeader).append("\r\n");
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    const tCPUIDResult& r = data.Row(k);
    text.append(kRowLead).append(Hex8(CaptureLeaf(k))).append(kLeafGap);
    text.append(Hex8(r.EAX)).append(kRegisterGap).append(Hex8(r.EBX)).append(kRegisterGap);
    text.append(Hex8(r.ECX)).append(kRegisterGap).append(Hex8(r.EDX)).append("\r\n");
  }
  return text;
}

std::optional<tDumpError> ParseCpuidDump(std::string_view text, tCPUdata& data) {
  std::size_t at = 0;
  for (std::size_t number = 1; number <= kLineCount; ++number) {
    if (at == text.size()) {
      return tDumpError{number,
                        "the file ends early: a dump has " + std::to_string(kLineCount) + " lines"};
    }
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) {
      return tDumpError{number, "the line has no line break"};
    }
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (auto reason = ParseLine(line, number, data)) return tDumpError{number, std::move(*reason)};
    at = end + 1;
  }
  if (at != text.size()) return tDumpError{kLineCount + 1, "text after the last row"};
  return std::nullopt;
}
