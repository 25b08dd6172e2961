#include "engine/listings/CpuidToolListing.h"

#include <array>

namespace {

// "CPU:" or "CPU n:"; `number` gets n (at most nine digits), the operating system's number of
// the processor, or -1 where the heading gives none.
bool IsHeading(std::string_view line, int& number) {
  tFieldCursor cursor(line);
  std::uint32_t n = 0;
  number = -1;
  if (!cursor.Take("CPU")) return false;
  const bool numbered = cursor.SkipBlanks();
  if (numbered && !cursor.TakeDecimal(n)) return false;
  if (!cursor.Take(":")) return false;
  cursor.SkipBlanks();
  if (!cursor.AtEnd()) return false;
  if (numbered) number = static_cast<int>(n);
  return true;
}

// "0xLLLLLLLL[ 0xSS]: eax=0x... ebx=0x... ecx=0x... edx=0x...", leading blanks removed.
bool ReadAnswer(tFieldCursor cursor, std::uint32_t& leaf, std::uint32_t& subLeaf,
                tCPUIDResult& result) {
  if (!cursor.Take("0x") || !cursor.TakeHex(8, 8, leaf)) return false;
  subLeaf = 0;
  if (cursor.SkipBlanks() && !(cursor.Take("0x") && cursor.TakeHex(1, 8, subLeaf))) return false;
  if (!cursor.Take(":")) return false;
  static constexpr std::array<std::string_view, 4> kNames{"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};
  std::array<std::uint32_t*, 4> registers{&result.EAX, &result.EBX, &result.ECX, &result.EDX};
  for (std::size_t r = 0; r < kNames.size(); ++r) {
    if (!cursor.SkipBlanks() || !cursor.Take(kNames[r]) || !cursor.TakeHex(8, 8, *registers[r])) {
      return false;
    }
  }
  cursor.SkipBlanks();
  return cursor.AtEnd();
}

}  // namespace

bool LooksLikeCpuidToolListing(std::string_view firstLine) {
  int number = -1;
  return IsHeading(firstLine, number) || firstLine.substr(0, 2) == "0x";
}

tListingRead ReadCpuidToolListing(std::string_view text) {
  tListingLines lines(text);
  tListedProcessors processors;
  std::string_view line;
  int number = -1;
  while (lines.Next(line)) {
    if (IsBlank(line)) continue;
    if (IsHeading(line, number)) {
      processors.StartProcessor(number);
      continue;
    }
    tFieldCursor cursor(line);
    cursor.SkipBlanks();
    std::uint32_t leaf = 0;
    std::uint32_t subLeaf = 0;
    tCPUIDResult result;
    if (!ReadAnswer(cursor, leaf, subLeaf, result)) {
      return tListingError{lines.Number(),
                           "expected \"CPU n:\" or an answer \"0xLLLLLLLL 0xSS: eax=0x... "
                           "ebx=0x... ecx=0x... edx=0x...\""};
    }
    if (auto error = processors.Add(lines.Number(), leaf, subLeaf, result)) return *error;
  }
  if (lines.Error()) return *lines.Error();
  return processors.Finish("the cpuid -r listing holds no answers");
}
