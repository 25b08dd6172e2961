// Clock measurement: the core clock from the time-stamp counter timed against the
// nanosecond counter, the multiplier from a register or the SMBIOS entry, and the bus clock
// and bus speed derived from them.
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>

#include "engine/CPUid.h"
#include "engine/clocks/CurrentRatio.h"
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
  double& effective = EffectiveClock[i].CoreClock;
  MeasureCoreClock(clocks, HasPerformanceCounters(CPUstore[i]) ? &effective : nullptr);
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

void cCPUid::MeasureCoreClock(tClocks& clocks, double* effective) {
  services_->RaisePriority();
  services_->Sleep(kSettle);
  const std::uint64_t t0 = services_->ReadTimeStampCounter();
  const std::int64_t c0 = services_->CounterNanoseconds();
  tPerformanceCounters start, end;
  bool counted = effective != nullptr && ReadPerformanceCounters(start);
  services_->Sleep(kWindow);
  counted = counted && ReadPerformanceCounters(end);
  const std::int64_t c1 = services_->CounterNanoseconds();
  const std::uint64_t t1 = services_->ReadTimeStampCounter();
  services_->RestorePriority();

  if (effective != nullptr) *effective = 0;
  // A counter that did not advance is a failed measurement: the clock keeps its value.
  if (c1 <= c0) return;
  // Only the low 32 bits of the tick difference count: up to about 17 GHz over the window.
  const std::uint64_t ticks = static_cast<std::uint32_t>(t1 - t0);
  const std::uint64_t elapsed = static_cast<std::uint64_t>(c1 - c0);
  clocks.CoreClock = static_cast<double>(static_cast<long double>(kCounterFrequency * ticks) /
                                         static_cast<long double>(elapsed * 1'000'000));
  // The counters restart from zero together when either overflows: such a window has no
  // effective clock.
  if (counted && end.Reference > start.Reference && end.Actual >= start.Actual) {
    *effective = clocks.CoreClock * static_cast<double>(end.Actual - start.Actual) /
                 static_cast<double>(end.Reference - start.Reference);
  }
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
