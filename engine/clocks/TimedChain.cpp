// The cycles of a dependent addition per processor generation, and the runs of the chain.
#include "engine/clocks/TimedChain.h"

#include <array>

#include "engine/store/MyUtils.h"

namespace {

// Cycles of ADD r, r with its result as the next one's input. Families are the displayed ones
// (base family, plus the extended family where the base is 15). Intel optimization reference
// manual and AMD software optimization guides for each generation's integer latencies; the
// Pentium 4 of 180 and 130 nm (models 0 to 2) runs simple integer operations on its
// double-speed units in half a cycle, the 90 and 65 nm ones (models 3 to 6) take a whole one.
struct tLatencyRow {
  tVendor Vendor;
  unsigned FamilyFirst, FamilyLast;
  unsigned ModelFirst, ModelLast;
  double Cycles;
};

constexpr std::array kLatencyRows = {
    tLatencyRow{tVendor::intel, 5, 6, 0x00, 0xFF, 1.0},    // Pentium, P6 to today's cores
    tLatencyRow{tVendor::intel, 15, 15, 0x00, 0x02, 0.5},  // Willamette, Northwood
    tLatencyRow{tVendor::intel, 15, 15, 0x03, 0x06, 1.0},  // Prescott, Cedar Mill
    tLatencyRow{tVendor::amd, 5, 6, 0x00, 0xFF, 1.0},      // K5, K6, K7
    tLatencyRow{tVendor::amd, 15, 26, 0x00, 0xFF, 1.0},    // K8 to Zen 5
    tLatencyRow{tVendor::centaur, 6, 6, 0x00, 0xFF, 1.0},  // C3, Nano
};

}  // namespace

std::optional<double> AdditionCycles(tVendor vendor, std::uint32_t signature) {
  const unsigned base = GetBits(signature, 8, 11);
  const unsigned family = base == 15 ? base + GetBits(signature, 20, 27) : base;
  const unsigned model = base == 15 || base == 6
                             ? (GetBits(signature, 16, 19) << 4) + GetBits(signature, 4, 7)
                             : GetBits(signature, 4, 7);
  for (const tLatencyRow& row : kLatencyRows) {
    if (row.Vendor == vendor && family >= row.FamilyFirst && family <= row.FamilyLast &&
        model >= row.ModelFirst && model <= row.ModelLast) {
      return row.Cycles;
    }
  }
  return std::nullopt;
}

double ChainMhz(std::uint64_t additions, double cycles, std::int64_t nanoseconds) {
  if (nanoseconds <= 0) return 0;
  // Cycles per nanosecond are GHz.
  return static_cast<double>(additions) * cycles * 1000.0 / static_cast<double>(nanoseconds);
}

std::optional<double> TimedChainMhz(const tChainPlan& plan, double cycles,
                                    const std::function<std::optional<tChainRun>()>& run) {
  std::optional<std::int64_t> fastest;
  std::int64_t spent = 0;
  for (unsigned i = 0; i < plan.Runs && spent < plan.BudgetNanoseconds; ++i) {
    const std::optional<tChainRun> timed = run();
    if (!timed) return std::nullopt;
    if (timed->Nanoseconds > 0) spent += timed->Nanoseconds;
    if (timed->Stolen || timed->Nanoseconds <= 0) continue;
    if (!fastest || timed->Nanoseconds < *fastest) fastest = timed->Nanoseconds;
  }
  if (!fastest) return std::nullopt;
  return ChainMhz(plan.Additions, cycles, *fastest);
}
