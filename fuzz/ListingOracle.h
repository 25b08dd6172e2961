// What every listing reader's fuzz target checks of a read that succeeds: the bounds hold, no
// processor is empty or numbered, and the full dump of the processors reads back as the same
// answers.
#pragma once

#include <cstdlib>
#include <vector>

#include "engine/listings/CpuidToolListing.h"
#include "engine/listings/FullDump.h"

inline void CheckListing(const tListingRead& read) {
  const auto* processors = std::get_if<std::vector<tCpuidStore>>(&read);
  if (processors == nullptr) return;
  if (processors->empty() || processors->size() > kMaxListedProcessors) std::abort();
  for (const tCpuidStore& store : *processors) {
    if (store.Empty() || store.Size() > kMaxListedAnswers || store.OsCpu != -1) std::abort();
  }
  const tListingRead again = ReadCpuidToolListing(FormatFullDump(*processors));
  const auto* reread = std::get_if<std::vector<tCpuidStore>>(&again);
  if (reread == nullptr || *reread != *processors) std::abort();
}
