#include "engine/store/CpuidStore.h"

#include <algorithm>
#include <tuple>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

bool Before(const tCpuidEntry& entry, std::uint32_t leaf, std::uint32_t subLeaf) {
  return std::tie(entry.Leaf, entry.SubLeaf) < std::tie(leaf, subLeaf);
}

}  // namespace

void tCpuidStore::Put(std::uint32_t leaf, std::uint32_t subLeaf, const tCPUIDResult& result) {
  // Captures come mostly in ascending order: look at the end first.
  if (entries_.empty() || Before(entries_.back(), leaf, subLeaf)) {
    entries_.push_back({leaf, subLeaf, result});
    return;
  }
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), std::pair{leaf, subLeaf},
                                   [](const tCpuidEntry& entry, const auto& key) {
                                     return Before(entry, key.first, key.second);
                                   });
  if (at != entries_.end() && at->Leaf == leaf && at->SubLeaf == subLeaf) {
    at->Result = result;
  } else {
    entries_.insert(at, {leaf, subLeaf, result});
  }
}

const tCPUIDResult* tCpuidStore::Find(std::uint32_t leaf, std::uint32_t subLeaf) const {
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), std::pair{leaf, subLeaf},
                                   [](const tCpuidEntry& entry, const auto& key) {
                                     return Before(entry, key.first, key.second);
                                   });
  if (at == entries_.end() || at->Leaf != leaf || at->SubLeaf != subLeaf) return nullptr;
  return &at->Result;
}

tCPUIDResult tCpuidStore::Get(std::uint32_t leaf, std::uint32_t subLeaf) const {
  const tCPUIDResult* found = Find(leaf, subLeaf);
  return found != nullptr ? *found : tCPUIDResult{};
}

std::span<const tCpuidEntry> tCpuidStore::SubLeaves(std::uint32_t leaf) const {
  const auto first = std::lower_bound(
      entries_.begin(), entries_.end(), leaf,
      [](const tCpuidEntry& entry, std::uint32_t key) { return entry.Leaf < key; });
  auto last = first;
  while (last != entries_.end() && last->Leaf == leaf)
    ++last;
  return {first, last};
}

const tCPUIDResult* ReportedLeaf(const tCpuidStore& store, std::uint32_t leaf,
                                 std::uint32_t subLeaf) {
  // The first leaf of a range (0, 0x40000000, 0x80000000, ...) gives the range's maximum.
  const std::uint32_t rangeHead = leaf & kLeafRangeMask;
  if (leaf != rangeHead && store.Get(rangeHead).EAX < leaf) return nullptr;
  return store.Find(leaf, subLeaf);
}

std::string VendorStringOf(const tCpuidStore& store) {
  const tCPUIDResult leaf0 = store.Get(kLeafStandardBase);
  return RegsToText(leaf0.EBX, leaf0.EDX, leaf0.ECX, 0);
}

tCpuidStore StoreOf(const platform::tCpuidRecording& recording, int osCpu) {
  tCpuidStore store;
  store.OsCpu = osCpu;
  for (const tCpuidEntry& entry : recording)
    store.Put(entry.Leaf, entry.SubLeaf, entry.Result);
  return store;
}

platform::tCpuidRecording RecordingOf(const tCpuidStore& store) {
  const auto entries = store.Entries();
  return {entries.begin(), entries.end()};
}

void ApplyLegacyRows(const tCpuidStore& store, tCPUdata& data) {
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    if (const tCPUIDResult* answer = store.Find(CaptureLeaf(k))) data.Row(k) = *answer;
  }
}
