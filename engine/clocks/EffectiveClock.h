// The effective clock of one processor from the readings of one measuring window: the first
// source that gave one, in the order of tEffectiveSource; the kernel's "cpu MHz" only where it
// is not the time-stamp counter's rate, which the kernel gives there when it has nothing better.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/store/CommonTypes.h"

// The source's name in the reports: "aperf/mperf", "cppc", "cpufreq", "kernel", "timed loop",
// "" for none.
std::string_view EffectiveSourceName(tEffectiveSource source);

// What each source gave over the window, in MHz.
struct tEffectiveReadings {
  std::optional<double> AperfMperf;
  std::optional<double> Cppc;
  std::optional<double> Cpufreq;
  std::optional<double> Kernel;
  std::optional<double> TimedLoop;
  // The time-stamp counter's rate: as measured over the window, and as the processor or its
  // hypervisor reports it (0 where neither is known).
  double TscMhz = 0;
  double ReportedTscMhz = 0;
};

tEffectiveClock ChooseEffectiveClock(const tEffectiveReadings& readings);

// True when `mhz` is within 0.5 % of a known time-stamp counter rate (`tscMhz` or `reportedMhz`,
// 0 for unknown); also true when neither is known, since then nothing tells the two apart.
bool IsCounterRate(double mhz, double tscMhz, double reportedMhz);

// The delivered clock over a window from ACPI CPPC's feedback counters at its two ends: the
// reference counter runs at the reference performance level, which is `nominalMhz` at the
// nominal level (performance levels are linear in the clock). Nothing where the counters did
// not advance or went back.
std::optional<double> CppcMhz(std::uint64_t referenceStart, std::uint64_t deliveredStart,
                              std::uint64_t referenceEnd, std::uint64_t deliveredEnd,
                              double nominalMhz, std::uint64_t nominalPerf,
                              std::uint64_t referencePerf);
