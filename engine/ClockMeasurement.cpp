// Clock measurement: the core clock from the time-stamp counter timed against the
// nanosecond counter, the multiplier from a register or the SMBIOS entry, and the bus clock
// and bus speed derived from them.
#include <chrono>
#include <cmath>
#include <mutex>

#include "engine/CPUid.h"

namespace {

constexpr std::chrono::milliseconds kSettle{10};
constexpr std::chrono::milliseconds kWindow{250};
constexpr std::uint64_t kCounterFrequency = 1'000'000'000;  // nanoseconds per second

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
  MeasureCoreClock(clocks);
  GetMultiplier(clocks.Multiplier, i);
  services_->RestoreThread();

  clocks.BusClock =
      clocks.Multiplier != 0
          ? static_cast<double>(static_cast<long double>(clocks.CoreClock) / clocks.Multiplier)
          : 0;
  clocks.BusSpeed = clocks.BusFactor * clocks.BusClock;

  // Readers get the slot's new record whole.
  std::lock_guard<std::mutex> lock(records_mutex_);
  clocks_[i] = clocks;
}

void cCPUid::MeasureCoreClock(tClocks& clocks) {
  services_->RaisePriority();
  services_->Sleep(kSettle);
  const std::uint64_t t0 = services_->ReadTimeStampCounter();
  const std::int64_t c0 = services_->CounterNanoseconds();
  services_->Sleep(kWindow);
  const std::int64_t c1 = services_->CounterNanoseconds();
  const std::uint64_t t1 = services_->ReadTimeStampCounter();
  services_->RestorePriority();

  // A counter that did not advance is a failed measurement: the clock keeps its value.
  if (c1 <= c0) return;
  // Only the low 32 bits of the tick difference count: up to about 17 GHz over the window.
  const std::uint64_t ticks = static_cast<std::uint32_t>(t1 - t0);
  const std::uint64_t elapsed = static_cast<std::uint64_t>(c1 - c0);
  clocks.CoreClock = static_cast<double>(static_cast<long double>(kCounterFrequency * ticks) /
                                         static_cast<long double>(elapsed * 1'000'000));
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
