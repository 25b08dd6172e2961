// The range a processor's clock moves in, its base, maximum and minimum, each from the first
// source that gives it: cpufreq (amd-pstate first for the maximum), ACPI CPPC, and leaf 0x16
// (which has no minimum).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/store/CpuidStore.h"
#include "platform/SystemFiles.h"

enum class tRangeSource : std::uint8_t { None, Cpufreq, AmdPstate, Cppc, Leaf16 };

struct tFrequencyRange {
  // MHz; 0 where no source gives the figure.
  double BaseMHz = 0;
  double MaxMHz = 0;
  double MinMHz = 0;
  tRangeSource BaseSource = tRangeSource::None;
  tRangeSource MaxSource = tRangeSource::None;
  tRangeSource MinSource = tRangeSource::None;

  friend bool operator==(const tFrequencyRange&, const tFrequencyRange&) = default;
};

// "cpufreq", "amd-pstate", "cppc", "leaf 0x16"; "" for none.
std::string_view RangeSourceName(tRangeSource source);
// The sources of the range's figures, each once, in the order of base, maximum, minimum,
// separated by ", "; "" where none gave one.
std::string RangeSourcesText(const tFrequencyRange& range);

// The range of the processor the system numbers `osCpu` (-1: none, as for a recorded
// processor) from the kernel's files (`files`, none: no files), and of its leaf 0x16 in
// `store`.
tFrequencyRange FrequencyRangeOf(const platform::tSystemFiles* files, int osCpu,
                                 const tCpuidStore& store);
