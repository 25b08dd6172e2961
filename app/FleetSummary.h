// The summary of many machines' listings: the kinds of processor among them, how many
// machines and logical processors of each, and the features that some kinds have and others
// lack (what a pool for live migration or a choice of -march needs to know).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/decode/X86Level.h"
#include "engine/store/CpuidStore.h"

// Processors of one kind: the same vendor, signature, brand, code name, kind of core,
// x86-64 level and set of features.
struct tProcessorKind {
  std::string Vendor;
  unsigned Family = 0;  // display family and model
  unsigned Model = 0;
  unsigned Stepping = 0;
  std::string Brand;  // UTF-8, trimmed
  std::string CodeName;
  std::string CoreType;  // "performance", "efficiency" or ""
  tX86Level Level = 0;
  std::vector<std::string> Features;  // in the order of the feature list
  std::vector<std::size_t> Machines;  // the machines that have it, by index, ascending
  std::size_t Processors = 0;         // logical processors of this kind over all machines

  bool SameKind(const tProcessorKind& other) const;
};

struct tFeatureSpread {
  std::string Feature;
  std::vector<std::size_t> Kinds;  // indexes of the kinds that have it, ascending
};

struct tFleetSummary {
  std::vector<std::string> Machines;      // a name for each machine: its listing's file name
  std::vector<tProcessorKind> Kinds;      // in the order first met
  std::vector<tFeatureSpread> Differing;  // features some kinds lack, in feature-list order
  tX86Level CommonLevel = 0;              // the lowest level of any kind; 0 without kinds
};

// Each machine's processors are identified as --load identifies them.
tFleetSummary SummariseFleet(const std::vector<std::string>& names,
                             const std::vector<std::vector<tCpuidStore>>& machines);

std::string FleetSummaryText(const tFleetSummary& summary);
std::string FleetSummaryJson(const tFleetSummary& summary);
