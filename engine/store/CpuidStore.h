// Every CPUID answer captured of one logical processor: the registers of each (leaf,
// sub-leaf) that was executed, kept in ascending order. A pair that is not in the store was
// not executed, which is not the same as an answer of four zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/store/CommonTypes.h"
#include "platform/ProcessorServices.h"

using tCpuidEntry = platform::tRecordedLeaf;

class tCpuidStore {
 public:
  // The operating system's number of the processor; -1 for a recorded processor whose listing
  // gives none.
  int OsCpu = -1;
  // The listing the answers were read from; no file for a processor of this machine.
  platform::tRecordingSource Source;

  // Stores the answer of (leaf, subLeaf), replacing an earlier answer of the same pair.
  void Put(std::uint32_t leaf, std::uint32_t subLeaf, const tCPUIDResult& result);
  // The answer of (leaf, subLeaf); nullptr when the pair was not executed.
  const tCPUIDResult* Find(std::uint32_t leaf, std::uint32_t subLeaf = 0) const;
  bool Has(std::uint32_t leaf, std::uint32_t subLeaf = 0) const {
    return Find(leaf, subLeaf) != nullptr;
  }
  // The answer of (leaf, subLeaf), or four zeros when the pair was not executed.
  tCPUIDResult Get(std::uint32_t leaf, std::uint32_t subLeaf = 0) const;

  // Every answer, by leaf then sub-leaf.
  std::span<const tCpuidEntry> Entries() const { return entries_; }
  // The answers of every sub-leaf of `leaf`, by sub-leaf.
  std::span<const tCpuidEntry> SubLeaves(std::uint32_t leaf) const;
  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

  friend bool operator==(const tCpuidStore&, const tCpuidStore&) = default;

 private:
  std::vector<tCpuidEntry> entries_;
};

// The answer of (leaf, subLeaf) when the processor reports `leaf` in its range (the maximum
// that the range's first leaf gives) and the pair was captured; nullptr otherwise.
const tCPUIDResult* ReportedLeaf(const tCpuidStore& store, std::uint32_t leaf,
                                 std::uint32_t subLeaf = 0);

// The vendor string: the 12 characters of leaf 0 EBX, EDX and ECX.
std::string VendorStringOf(const tCpuidStore& store);

// A store holding every answer of `recording` (a later answer of a pair replaces an earlier).
tCpuidStore StoreOf(const platform::tCpuidRecording& recording, int osCpu = -1);
// The answers of `store` as a recording that replay services can serve.
platform::tCpuidRecording RecordingOf(const tCpuidStore& store);

// The 27 rows of `data` that the store holds (sub-leaf 0 of each captured leaf) are set from
// it; the rows of leaves it does not hold keep their values.
void ApplyLegacyRows(const tCpuidStore& store, tCPUdata& data);
