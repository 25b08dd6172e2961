#include "engine/listings/LibcpuidRawListing.h"

#include <algorithm>
#include <array>

#include "engine/store/Leaves.h"

namespace {

// How the index of an array maps to a (leaf, sub-leaf).
struct tRawArray {
  std::string_view Name;
  std::uint32_t Leaf;
  bool IndexIsSubLeaf;  // else the index is added to the leaf
};

constexpr std::array<tRawArray, 8> kArrays{{
    {"basic_cpuid", kLeafStandardBase, false},
    {"ext_cpuid", kLeafExtendedBase, false},
    {"intel_fn4", kLeafCacheParameters, true},
    {"intel_fn11", kLeafExtendedTopology, true},
    {"intel_fn12h", kLeafSgx, true},
    {"intel_fn14h", kLeafProcessorTrace, true},
    {"amd_fn8000001dh", kLeafCacheTopology, true},
    {"amd_fn80000026h", kLeafExtendedTopologyAmd, true},
}};

// Indices above this are no entry of any array.
constexpr std::uint32_t kMaxIndex = 0xFF;

bool IsHeading(std::string_view line) {
  tFieldCursor cursor(line);
  std::uint32_t number = 0;
  if (!cursor.Take("_")) return false;
  while (cursor.Take("_")) {
  }
  return cursor.SkipBlanks() && cursor.Take("Logical CPU #") && cursor.TakeDecimal(number);
}

bool IsVersion(std::string_view line) {
  return line.substr(0, 8) == "version=" || line.substr(0, 8) == "Version=";
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

struct tEntry {
  std::size_t Line = 0;
  std::uint32_t Leaf = 0;
  std::uint32_t SubLeaf = 0;
  bool OfSubLeafArray = false;
  tCPUIDResult Result;
};

// "name[n]=EAX EBX ECX EDX". False when the line is not an entry; `known` tells whether
// the name is one of kArrays (and `entry` is then filled).
bool ReadEntry(std::string_view line, tEntry& entry, bool& known) {
  std::size_t nameEnd = 0;
  while (nameEnd < line.size() && IsNameChar(line[nameEnd]))
    ++nameEnd;
  const std::string_view name = line.substr(0, nameEnd);
  tFieldCursor cursor(line.substr(nameEnd));
  std::uint32_t index = 0;
  if (name.empty() || !cursor.Take("[") || !cursor.TakeDecimal(index) || index > kMaxIndex ||
      !cursor.Take("]=")) {
    return false;
  }
  std::array<std::uint32_t*, 4> registers{&entry.Result.EAX, &entry.Result.EBX, &entry.Result.ECX,
                                          &entry.Result.EDX};
  for (std::size_t r = 0; r < registers.size(); ++r) {
    if (r > 0 && !cursor.SkipBlanks()) return false;
    if (!cursor.TakeHex(8, 8, *registers[r])) return false;
  }
  cursor.SkipBlanks();
  if (!cursor.AtEnd()) return false;
  known = false;
  for (const tRawArray& array : kArrays) {
    if (array.Name != name) continue;
    known = true;
    entry.Leaf = array.IndexIsSubLeaf ? array.Leaf : array.Leaf + index;
    entry.SubLeaf = array.IndexIsSubLeaf ? index : 0;
    entry.OfSubLeafArray = array.IndexIsSubLeaf;
  }
  return true;
}

// The highest leaf of the range of `base` that the processor reports, when it listed the
// first leaf of that range.
std::optional<std::uint32_t> MaximumOf(const std::vector<tEntry>& entries, std::uint32_t base) {
  for (const tEntry& entry : entries) {
    if (entry.Leaf == base && entry.SubLeaf == 0) return entry.Result.EAX;
  }
  return std::nullopt;
}

class tRawReader {
 public:
  explicit tRawReader(std::string_view text) : lines_(text) {}

  tListingRead Read() {
    std::string_view line;
    bool first = true;
    while (lines_.Next(line)) {
      if (IsBlank(line)) continue;
      const bool version = first && IsVersion(line);
      first = false;
      if (version) continue;
      if (IsListingEnd(line)) break;
      if (IsHeading(line)) {
        if (auto error = EndProcessor()) return *error;
        continue;
      }
      tEntry entry;
      bool known = false;
      if (!ReadEntry(line, entry, known)) {
        return tListingError{lines_.Number(),
                             "expected an entry \"name[n]=eax ebx ecx edx\" with four "
                             "8-digit registers"};
      }
      if (!known) continue;
      if (pending_.size() == kMaxListedAnswers) {
        return tListingError{lines_.Number(), "more than " + std::to_string(kMaxListedAnswers) +
                                                  " answers for one processor"};
      }
      entry.Line = lines_.Number();
      pending_.push_back(entry);
    }
    if (lines_.Error()) return *lines_.Error();
    if (auto error = EndProcessor()) return *error;
    return processors_.Finish("the libcpuid raw listing holds no entries");
  }

 private:
  // Moves the entries of the processor that ends into the listing, leaving out those above
  // the maximum of their range (the first leaf of a range itself always stays). Where an
  // array of sub-leaves holds sub-leaf 0 of a leaf that a leaf array holds as well, both were
  // executed; the answer of the array of sub-leaves, executed with the sub-leaf set, stays.
  std::optional<tListingError> EndProcessor() {
    std::vector<std::uint32_t> subLeafZero;
    for (const tEntry& entry : pending_) {
      if (entry.OfSubLeafArray && entry.SubLeaf == 0) subLeafZero.push_back(entry.Leaf);
    }
    const auto listedAsSubLeaf = [&subLeafZero](const tEntry& entry) {
      return !entry.OfSubLeafArray && entry.SubLeaf == 0 &&
             std::find(subLeafZero.begin(), subLeafZero.end(), entry.Leaf) != subLeafZero.end();
    };
    const auto maxStandard = MaximumOf(pending_, kLeafStandardBase);
    const auto maxExtended = MaximumOf(pending_, kLeafExtendedBase);
    for (const tEntry& entry : pending_) {
      const bool extended = entry.Leaf >= kLeafExtendedBase;
      const std::uint32_t base = extended ? kLeafExtendedBase : kLeafStandardBase;
      const auto& maximum = extended ? maxExtended : maxStandard;
      const bool answered = entry.Leaf == base || (maximum && entry.Leaf <= *maximum);
      if (!answered || listedAsSubLeaf(entry)) continue;
      if (auto error = processors_.Add(entry.Line, entry.Leaf, entry.SubLeaf, entry.Result)) {
        return error;
      }
    }
    pending_.clear();
    processors_.StartProcessor();
    return std::nullopt;
  }

  tListingLines lines_;
  tListedProcessors processors_;
  std::vector<tEntry> pending_;
};

}  // namespace

bool LooksLikeLibcpuidRawListing(std::string_view firstLine) {
  if (IsVersion(firstLine) || IsHeading(firstLine)) return true;
  tEntry entry;
  bool known = false;
  return ReadEntry(firstLine, entry, known) && known;
}

tListingRead ReadLibcpuidRawListing(std::string_view text) {
  return tRawReader(text).Read();
}
