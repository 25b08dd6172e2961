// Clock measurement: the core clock from the time-stamp counter timed against the
// nanosecond counter, the multiplier from a register or the SMBIOS entry, and the bus clock
// and bus speed derived from them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>

#include "engine/CPUid.h"
#include "engine/clocks/CurrentRatio.h"
#include "engine/clocks/EffectiveClock.h"
#include "engine/clocks/PackagePower.h"
#include "engine/clocks/TimedChain.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "protocol/MsrReads.h"

namespace {

constexpr std::chrono::milliseconds kSettle{10};
constexpr std::chrono::milliseconds kWindow{250};
constexpr std::uint64_t kCounterFrequency = 1'000'000'000;  // nanoseconds per second

// Leaf 6 ECX bit 0: the processor has the APERF and MPERF counters.
bool HasPerformanceCounters(const tCpuidStore& store) {
  return store.Get(kLeafStandardBase).EAX >= kLeafThermalPower &&
         GetBit(store.Get(kLeafThermalPower).ECX, 0) != 0;
}

// Rounds to the nearest integer, a tie going to the even one.
double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

}  // namespace

void cCPUid::MeasureClocks(unsigned i) {
  if (i >= SlotCount() || !services_->HasClocks() || stop_.Requested()) return;
  // A processor that cannot be reached now (gone offline, or taken out of the allowed set)
  // keeps its last record.
  if (!services_->PinThread(i)) {
    services_->RestoreThread();
    return;
  }
  tClocks& clocks = Clocks[i];
  const std::optional<tRatioRegisters> ratioRegisters = RatioRegistersOf(MultiplierMethod[i]);
  tEffectiveWindow window;
  window.Slot = i;
  if (i < energySlots_.size() && energySlots_[i] != 0) {
    if (const auto energy = EnergyRegistersOf(FlagBrand[i], ratioRegisters, CPUstore[i])) {
      if (ReadMsr(energy->Unit, window.EnergyUnit)) window.EnergyRegister = energy->Energy;
    }
  }
  MeasureCoreClock(clocks, &window);
  EffectiveClock[i] = window.Result;
  if (i < packageWatts_.size()) packageWatts_[i] = window.PackageWatts;
  if (ratioRegisters) {
    ReadRatioRegisters(clocks, *ratioRegisters, i);
  } else {
    GetMultiplier(clocks.Multiplier, i);
  }
  services_->RestoreThread();

  if (!ratioRegisters) {
    clocks.BusClock =
        clocks.Multiplier != 0
            ? static_cast<double>(static_cast<long double>(clocks.CoreClock) / clocks.Multiplier)
            : 0;
  }
  clocks.BusSpeed = clocks.BusFactor * clocks.BusClock;

  // Readers get the slot's new records whole.
  std::lock_guard<std::mutex> lock(records_mutex_);
  clocks_[i] = clocks;
  effective_[i] = EffectiveClock[i];
}

void cCPUid::MeasureCoreClock(tClocks& clocks, tEffectiveWindow* window) {
  const double lastTscMhz = clocks.CoreClock;
  services_->RaisePriority();
  services_->Sleep(kSettle);
  const std::uint64_t t0 = services_->ReadTimeStampCounter();
  const std::int64_t c0 = services_->CounterNanoseconds();
  if (window != nullptr) OpenEffectiveWindow(*window);
  // The chain runs inside the window, which sleeps only what is left of it.
  const std::int64_t busy = window != nullptr ? TimeChainIfNeeded(*window, lastTscMhz) : 0;
  const auto rest =
      kWindow - std::chrono::ceil<std::chrono::milliseconds>(std::chrono::nanoseconds(busy));
  if (rest.count() > 0) services_->Sleep(rest);
  if (window != nullptr) CloseEffectiveWindow(*window);
  const std::int64_t c1 = services_->CounterNanoseconds();
  const std::uint64_t t1 = services_->ReadTimeStampCounter();
  services_->RestorePriority();

  if (window != nullptr) window->Result = {};
  // A counter that did not advance is a failed measurement: the clock keeps its value.
  if (c1 <= c0) return;
  // Only the low 32 bits of the tick difference count: up to about 17 GHz over the window.
  const std::uint64_t ticks = static_cast<std::uint32_t>(t1 - t0);
  const std::uint64_t elapsed = static_cast<std::uint64_t>(c1 - c0);
  clocks.CoreClock = static_cast<double>(static_cast<long double>(kCounterFrequency * ticks) /
                                         static_cast<long double>(elapsed * 1'000'000));
  if (window == nullptr) return;
  if (window->EnergyCounted) {
    window->PackageWatts = PackageWatts(window->EnergyUnit, window->EnergyStart, window->EnergyEnd,
                                        static_cast<std::int64_t>(elapsed));
  }
  tEffectiveReadings& readings = window->Readings;
  // APERF and MPERF count at the counter's rate and the core's: the effective clock is their
  // ratio times the counter's rate.
  if (readings.AperfMperf) *readings.AperfMperf *= clocks.CoreClock;
  readings.TscMhz = clocks.CoreClock;
  window->Result = ChooseEffectiveClock(readings);
}

void cCPUid::OpenEffectiveWindow(tEffectiveWindow& window) {
  const unsigned i = window.Slot;
  window.Readings = {};
  window.Readings.ReportedTscMhz = Frequencies[i].TscMHz;
  tPerformanceCounters start;
  window.Counted = HasPerformanceCounters(CPUstore[i]) && ReadPerformanceCounters(start);
  window.EnergyCounted =
      window.EnergyRegister && ReadMsr(*window.EnergyRegister, window.EnergyStart);
  window.AperfStart = start.Actual;
  window.MperfStart = start.Reference;
  const platform::tSystemFiles* files = services_->Files();
  window.CppcStart.reset();
  if (files != nullptr && !window.Counted)
    window.CppcStart = platform::CppcFeedback(*files, services_->OsCpuOf(i));
}

std::int64_t cCPUid::TimeChainIfNeeded(tEffectiveWindow& window, double lastTscMhz) {
  const unsigned i = window.Slot;
  if (window.Counted || window.CppcStart) return 0;
  const platform::tSystemFiles* files = services_->Files();
  const int cpu = services_->OsCpuOf(i);
  // cpufreq, or a "cpu MHz" that is not the counter's rate, will give the clock at the end.
  if (files != nullptr) {
    if (platform::KernelFrequencyMhz(*files, cpu, platform::tKernelFrequency::ScalingCurrent))
      return 0;
    const auto kernel = kernelMhz_.find(cpu);
    if (kernel != kernelMhz_.end() &&
        !IsCounterRate(kernel->second, lastTscMhz, window.Readings.ReportedTscMhz)) {
      return 0;
    }
  }
  const std::optional<double> cycles =
      AdditionCycles(FlagBrand[i], CPUstore[i].Get(kLeafFeatures).EAX);
  if (!cycles) return 0;
  const tChainPlan plan;
  const std::int64_t begin = services_->CounterNanoseconds();
  window.Readings.TimedLoop = TimedChainMhz(plan, *cycles, [&]() -> std::optional<tChainRun> {
    const std::optional<std::uint64_t> stolenBefore =
        files != nullptr ? platform::StolenTicks(*files, cpu) : std::nullopt;
    const std::int64_t start = services_->CounterNanoseconds();
    if (!services_->RunAdditionChain(plan.Additions)) return std::nullopt;
    const std::int64_t end = services_->CounterNanoseconds();
    const std::optional<std::uint64_t> stolenAfter =
        files != nullptr ? platform::StolenTicks(*files, cpu) : std::nullopt;
    return tChainRun{end - start, stolenBefore && stolenAfter && *stolenAfter > *stolenBefore};
  });
  return std::max<std::int64_t>(services_->CounterNanoseconds() - begin, 0);
}

void cCPUid::CloseEffectiveWindow(tEffectiveWindow& window) {
  const unsigned i = window.Slot;
  tEffectiveReadings& readings = window.Readings;
  tPerformanceCounters end;
  // The counters restart from zero together when either overflows: such a window has no
  // effective clock from them. Their ratio is made a clock once the counter's rate is known.
  if (window.Counted && ReadPerformanceCounters(end) && end.Reference > window.MperfStart &&
      end.Actual >= window.AperfStart) {
    readings.AperfMperf = static_cast<double>(end.Actual - window.AperfStart) /
                          static_cast<double>(end.Reference - window.MperfStart);
  }
  window.EnergyCounted = window.EnergyCounted && ReadMsr(*window.EnergyRegister, window.EnergyEnd);
  const platform::tSystemFiles* files = services_->Files();
  if (files == nullptr) return;
  const int cpu = services_->OsCpuOf(i);
  if (window.CppcStart) {
    const std::optional<platform::tCppcCounters> cppcEnd = platform::CppcFeedback(*files, cpu);
    const auto nominalMhz =
        platform::KernelFrequencyMhz(*files, cpu, platform::tKernelFrequency::CppcNominal);
    const auto nominalPerf =
        platform::CppcPerformance(*files, cpu, platform::tCppcPerformance::Nominal);
    const auto referencePerf =
        platform::CppcPerformance(*files, cpu, platform::tCppcPerformance::Reference);
    if (cppcEnd && nominalMhz && nominalPerf) {
      readings.Cppc =
          CppcMhz(window.CppcStart->Reference, window.CppcStart->Delivered, cppcEnd->Reference,
                  cppcEnd->Delivered, *nominalMhz, *nominalPerf, referencePerf.value_or(0));
    }
  }
  readings.Cpufreq =
      platform::KernelFrequencyMhz(*files, cpu, platform::tKernelFrequency::ScalingCurrent);
  if (const auto kernel = kernelMhz_.find(cpu); kernel != kernelMhz_.end())
    readings.Kernel = kernel->second;
}

bool cCPUid::ReadPerformanceCounters(tPerformanceCounters& counters) {
  return ReadMsr(kMsrAperf, counters.Actual) && ReadMsr(kMsrMperf, counters.Reference);
}

void cCPUid::ReadRatioRegisters(tClocks& clocks, tRatioRegisters registers, unsigned i) {
  const auto read = [this](std::uint32_t index, std::uint64_t& value) {
    return ReadMsr(index, value);
  };
  if (const auto reading = ReadCurrentRatio(registers, read, clocks.CoreClock)) {
    clocks.Multiplier = reading->Multiplier;
    clocks.BusClock = reading->BusClock;
    return;
  }
  // The multiplier is not guessed: the bus clock is the one the processor reports in leaf
  // 0x16 (ECX 15..0, MHz), where it reports one.
  const tCpuidStore& store = CPUstore[i];
  clocks.Multiplier = 0;
  clocks.BusClock = store.Get(kLeafStandardBase).EAX >= kLeafProcessorFrequency
                        ? GetBits(store.Get(kLeafProcessorFrequency).ECX, 0, 15)
                        : 0;
}

void cCPUid::GetMultiplierDMI(float& multiplier, unsigned s) {
  if (NoDMI != 0) return;
  // The entry of the slot's physical package; the entry of the slot itself where the
  // package is not known.
  const int package = services_->PackageOf(s);
  const std::size_t entry = package >= 0 ? static_cast<std::size_t>(package) : s;
  // A slot without an entry has nothing to derive a multiplier from.
  if (entry >= SMBIOSProcessors.size()) return;
  const double external = SMBIOSProcessors[entry].ExtClock;
  const double current = SMBIOSProcessors[entry].CurrentSpeed;
  // An external clock of 0 switches the fallback off until the next construction.
  if (external == 0) {
    NoDMI = 1;
    return;
  }
  double ratio = RoundHalfEven(current / external * 10) / 10;
  ratio = RoundHalfEven(ratio / 0.1) * 0.1;
  multiplier = static_cast<float>(ratio);
}
