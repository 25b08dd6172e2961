// The sources of the frequency range, in the order they are preferred for each figure.
#include "engine/clocks/FrequencyRange.h"

#include <array>
#include <optional>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "platform/KernelClockFiles.h"

namespace {

using platform::tCppcPerformance;
using platform::tKernelFrequency;

struct tSourceName {
  tRangeSource Source;
  std::string_view Name;
};

constexpr std::array kSourceNames = {
    tSourceName{tRangeSource::Cpufreq, "cpufreq"},
    tSourceName{tRangeSource::AmdPstate, "amd-pstate"},
    tSourceName{tRangeSource::Cppc, "cppc"},
    tSourceName{tRangeSource::Leaf16, "leaf 0x16"},
};

// The figures one processor's sources give.
class tSources {
 public:
  tSources(const platform::tSystemFiles* files, int cpu, const tCpuidStore& store)
      : files_(files), cpu_(cpu), store_(store) {}

  std::optional<double> Kernel(tKernelFrequency which) const {
    if (files_ == nullptr) return std::nullopt;
    return platform::KernelFrequencyMhz(*files_, cpu_, which);
  }
  // The highest performance level at the clock of the nominal one: levels are linear in the
  // clock.
  std::optional<double> CppcHighest() const {
    if (files_ == nullptr) return std::nullopt;
    const auto nominal = Kernel(tKernelFrequency::CppcNominal);
    const auto highest = platform::CppcPerformance(*files_, cpu_, tCppcPerformance::Highest);
    const auto nominalPerf = platform::CppcPerformance(*files_, cpu_, tCppcPerformance::Nominal);
    if (!nominal || !highest || !nominalPerf) return std::nullopt;
    return *nominal * static_cast<double>(*highest) / static_cast<double>(*nominalPerf);
  }
  // Leaf 0x16, bits 15..0 of EAX (base) or EBX (maximum), in MHz.
  std::optional<double> Leaf16(bool maximum) const {
    if (store_.Get(kLeafStandardBase).EAX < kLeafProcessorFrequency) return std::nullopt;
    const auto answer = store_.Get(kLeafProcessorFrequency);
    const std::uint32_t mhz = GetBits(maximum ? answer.EBX : answer.EAX, 0, 15);
    if (mhz == 0) return std::nullopt;
    return mhz;
  }

 private:
  const platform::tSystemFiles* files_;
  int cpu_;
  const tCpuidStore& store_;
};

struct tFigureSource {
  tRangeSource Source;
  std::optional<double> (*Read)(const tSources&);
};

constexpr std::array kBaseSources = {
    tFigureSource{tRangeSource::Cpufreq,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::CpufreqBase); }},
    tFigureSource{tRangeSource::Cppc,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::CppcNominal); }},
    tFigureSource{tRangeSource::Leaf16, [](const tSources& s) { return s.Leaf16(false); }},
};

// amd-pstate's maximum is the processor's highest clock; cpufreq's drops to the nominal one
// while boost is switched off.
constexpr std::array kMaxSources = {
    tFigureSource{tRangeSource::AmdPstate,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::AmdPstateMaximum); }},
    tFigureSource{tRangeSource::Cpufreq,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::CpufreqMaximum); }},
    tFigureSource{tRangeSource::Cppc, [](const tSources& s) { return s.CppcHighest(); }},
    tFigureSource{tRangeSource::Leaf16, [](const tSources& s) { return s.Leaf16(true); }},
};

constexpr std::array kMinSources = {
    tFigureSource{tRangeSource::Cpufreq,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::CpufreqMinimum); }},
    tFigureSource{tRangeSource::Cppc,
                  [](const tSources& s) { return s.Kernel(tKernelFrequency::CppcLowest); }},
};

template <std::size_t N>
void TakeFirst(const std::array<tFigureSource, N>& sources, const tSources& s, double& mhz,
               tRangeSource& from) {
  for (const tFigureSource& source : sources) {
    if (const std::optional<double> figure = source.Read(s)) {
      mhz = *figure;
      from = source.Source;
      return;
    }
  }
}

}  // namespace

std::string_view RangeSourceName(tRangeSource source) {
  for (const tSourceName& row : kSourceNames) {
    if (row.Source == source) return row.Name;
  }
  return "";
}

std::string RangeSourcesText(const tFrequencyRange& range) {
  std::string text;
  const std::array sources = {range.BaseSource, range.MaxSource, range.MinSource};
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (sources[i] == tRangeSource::None) continue;
    bool named = false;
    for (std::size_t j = 0; j < i; ++j)
      named = named || sources[j] == sources[i];
    if (named) continue;
    if (!text.empty()) text += ", ";
    text += RangeSourceName(sources[i]);
  }
  return text;
}

tFrequencyRange FrequencyRangeOf(const platform::tSystemFiles* files, int osCpu,
                                 const tCpuidStore& store) {
  const tSources sources(files, osCpu, store);
  tFrequencyRange range;
  TakeFirst(kBaseSources, sources, range.BaseMHz, range.BaseSource);
  TakeFirst(kMaxSources, sources, range.MaxMHz, range.MaxSource);
  TakeFirst(kMinSources, sources, range.MinMHz, range.MinSource);
  return range;
}
