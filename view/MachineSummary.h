// Each identified machine at a glance: its cores and threads of each kind, every cache level
// with its instances and their total, the display signature, the micro-architecture and the
// process. The Topology page and the top of the text report show it. Texts are Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ProcessorRecords.h"

struct tSummaryLine {
  std::string_view Caption;
  std::string Text;
};

struct tMachineSummary {
  std::string Listing;        // the file of a loaded machine, as it was named; "" for this machine
  std::size_t FirstSlot = 0;  // its processors' slots
  std::size_t Slots = 0;
  std::vector<tSummaryLine> Lines;
};

// One per machine of the first `identified` slots (tProcessorRecords::Machines).
std::vector<tMachineSummary> MachineSummaries(const tProcessorRecords& records,
                                              std::size_t identified);

// A size in KB as "48 KB", or in MB where it is whole megabytes ("32 MB").
std::string CacheSizeText(unsigned long long kb);
