#include "engine/listings/HwlocCpuid.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::uint32_t kLeafInput = 1;            // EAX
constexpr std::uint32_t kLeafAndSubLeafInput = 5;  // EAX and ECX

bool ReadAnswer(tFieldCursor cursor, std::uint32_t& leaf, std::uint32_t& subLeaf,
                tCPUIDResult& result, std::uint32_t& mask) {
  std::uint32_t ebx = 0;
  std::uint32_t edx = 0;
  const std::array<std::uint32_t*, 5> inputs{&mask, &leaf, &ebx, &subLeaf, &edx};
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    if (k > 0 && !cursor.SkipBlanks()) return false;
    if (!cursor.TakeHex(1, 8, *inputs[k])) return false;
  }
  if (!cursor.SkipBlanks() || !cursor.Take("=>")) return false;
  const std::array<std::uint32_t*, 4> outputs{&result.EAX, &result.EBX, &result.ECX, &result.EDX};
  for (std::uint32_t* out : outputs)
    if (!cursor.SkipBlanks() || !cursor.TakeHex(1, 8, *out)) return false;
  cursor.SkipBlanks();
  return cursor.AtEnd();
}

}  // namespace

bool LooksLikeHwlocPu(std::string_view firstLine) {
  return firstLine.substr(0, kHwlocPuHeading.size()) == kHwlocPuHeading;
}

tListingRead ReadHwlocPu(std::string_view text) {
  tListingLines lines(text);
  tListedProcessors processors;
  std::string_view line;
  while (lines.Next(line)) {
    if (IsBlank(line) || line.substr(0, 1) == "#") continue;
    std::uint32_t leaf = 0;
    std::uint32_t subLeaf = 0;
    std::uint32_t mask = 0;
    tCPUIDResult result;
    if (!ReadAnswer(tFieldCursor(line), leaf, subLeaf, result, mask)) {
      return tListingError{lines.Number(),
                           "expected an answer \"MASK EAX EBX ECX EDX => EAX EBX ECX EDX\" in "
                           "hexadecimal"};
    }
    if (mask != kLeafInput && mask != kLeafAndSubLeafInput) {
      return tListingError{lines.Number(), "the input mask " + std::to_string(mask) +
                                               " is neither 1 (the leaf) nor 5 (leaf and "
                                               "sub-leaf)"};
    }
    if (mask == kLeafInput) subLeaf = 0;
    if (auto error = processors.Add(lines.Number(), leaf, subLeaf, result)) return *error;
  }
  if (lines.Error()) return *lines.Error();
  return processors.Finish("the hwloc file holds no answers");
}

std::string FormatHwlocPu(const tCpuidStore& store) {
  std::string text(kHwlocPuHeading);
  text += '\n';
  for (const tCpuidEntry& e : store.Entries()) {
    const auto subLeaves = store.SubLeaves(e.Leaf);
    const bool bySubLeaf = subLeaves.size() > 1 || subLeaves.front().SubLeaf != 0;
    char line[96];
    const int n = std::snprintf(line, sizeof line, "%x %x 0 %x 0 => %x %x %x %x\n",
                                bySubLeaf ? kLeafAndSubLeafInput : kLeafInput, e.Leaf,
                                bySubLeaf ? e.SubLeaf : 0, e.Result.EAX, e.Result.EBX, e.Result.ECX,
                                e.Result.EDX);
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}
