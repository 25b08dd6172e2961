// Choosing the effective clock among its sources, and the arithmetic of the CPPC counters.
#include "engine/clocks/EffectiveClock.h"

#include <array>
#include <cmath>

namespace {

struct tSourceRow {
  tEffectiveSource Source;
  std::string_view Name;
  std::optional<double> tEffectiveReadings::*Reading;
};

// In the order they are preferred.
constexpr std::array kSources = {
    tSourceRow{tEffectiveSource::AperfMperf, "aperf/mperf", &tEffectiveReadings::AperfMperf},
    tSourceRow{tEffectiveSource::Cppc, "cppc", &tEffectiveReadings::Cppc},
    tSourceRow{tEffectiveSource::Cpufreq, "cpufreq", &tEffectiveReadings::Cpufreq},
    tSourceRow{tEffectiveSource::Kernel, "kernel", &tEffectiveReadings::Kernel},
    tSourceRow{tEffectiveSource::TimedLoop, "timed loop", &tEffectiveReadings::TimedLoop},
};

constexpr double kCounterRateTolerance = 0.005;

bool Near(double mhz, double rate) {
  return rate > 0 && std::fabs(mhz - rate) <= rate * kCounterRateTolerance;
}

}  // namespace

std::string_view EffectiveSourceName(tEffectiveSource source) {
  for (const tSourceRow& row : kSources) {
    if (row.Source == source) return row.Name;
  }
  return "";
}

bool IsCounterRate(double mhz, double tscMhz, double reportedMhz) {
  if (tscMhz <= 0 && reportedMhz <= 0) return true;
  return Near(mhz, tscMhz) || Near(mhz, reportedMhz);
}

tEffectiveClock ChooseEffectiveClock(const tEffectiveReadings& readings) {
  for (const tSourceRow& row : kSources) {
    const std::optional<double>& mhz = readings.*row.Reading;
    if (!mhz || !(*mhz > 0) || !std::isfinite(*mhz)) continue;
    if (row.Source == tEffectiveSource::Kernel &&
        IsCounterRate(*mhz, readings.TscMhz, readings.ReportedTscMhz)) {
      continue;
    }
    return {*mhz, row.Source};
  }
  return {};
}

std::optional<double> CppcMhz(std::uint64_t referenceStart, std::uint64_t deliveredStart,
                              std::uint64_t referenceEnd, std::uint64_t deliveredEnd,
                              double nominalMhz, std::uint64_t nominalPerf,
                              std::uint64_t referencePerf) {
  if (referenceEnd <= referenceStart || deliveredEnd < deliveredStart || nominalPerf == 0 ||
      !(nominalMhz > 0)) {
    return std::nullopt;
  }
  const double referenceMhz =
      nominalMhz * static_cast<double>(referencePerf != 0 ? referencePerf : nominalPerf) /
      static_cast<double>(nominalPerf);
  return referenceMhz * static_cast<double>(deliveredEnd - deliveredStart) /
         static_cast<double>(referenceEnd - referenceStart);
}
