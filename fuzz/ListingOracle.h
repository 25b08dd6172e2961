// What every listing reader's fuzz target checks of a read that succeeds: the bounds hold, no
// processor is empty, and the full dump of the processors reads back as the same answers,
// each processor under its own number (its slot where the listing gave none).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/listings/CpuidToolListing.h"
#include "engine/listings/FullDump.h"

inline void CheckListing(const tListingRead& read) {
  const auto* processors = std::get_if<std::vector<tCpuidStore>>(&read);
  if (processors == nullptr) return;
  if (processors->empty() || processors->size() > kMaxListedProcessors) std::abort();
  for (const tCpuidStore& store : *processors) {
    if (store.Empty() || store.Size() > kMaxListedAnswers || store.OsCpu < -1) std::abort();
  }
  const tListingRead again = ReadCpuidToolListing(FormatFullDump(*processors));
  const auto* reread = std::get_if<std::vector<tCpuidStore>>(&again);
  if (reread == nullptr || reread->size() != processors->size()) std::abort();
  for (std::size_t slot = 0; slot < processors->size(); ++slot) {
    const tCpuidStore& store = (*processors)[slot];
    const tCpuidStore& back = (*reread)[slot];
    const int number = store.OsCpu >= 0 ? store.OsCpu : static_cast<int>(slot);
    if (back.OsCpu != number || !std::ranges::equal(back.Entries(), store.Entries())) std::abort();
  }
}
