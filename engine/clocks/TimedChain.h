// The running clock timed: a chain of dependent integer additions, each waiting for the one
// before, takes a known number of cycles per addition; its length over the time it took is the
// clock. The chain runs many times and the fastest run is kept; a run the hypervisor stole
// time from is not counted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "engine/store/CommonTypes.h"

// Cycles one dependent addition (ADD of two registers) takes on the processors of `vendor`
// with the signature `signature` (leaf 1 EAX); nothing where it is not known.
std::optional<double> AdditionCycles(tVendor vendor, std::uint32_t signature);

// The clock in MHz that runs `additions` additions of `cycles` each in `nanoseconds`; 0 for
// a run that took no time.
double ChainMhz(std::uint64_t additions, double cycles, std::int64_t nanoseconds);

// One run of the chain: how long it took, and whether the hypervisor stole time meanwhile.
struct tChainRun {
  std::int64_t Nanoseconds = 0;
  bool Stolen = false;
};

struct tChainPlan {
  // Many short runs: on a busy processor a short run is more likely to go through without
  // being interrupted.
  unsigned Runs = 20;
  // 2^21 additions: about 0.7 ms at 3 GHz, so that 100 ns of timing is 0.015 %.
  std::uint64_t Additions = std::uint64_t{1} << 21;
  // No further run starts once the runs have taken this long together.
  std::int64_t BudgetNanoseconds = 100'000'000;
};

// Runs the chain through `run` (nothing: it cannot run) as `plan` says and gives the clock of
// the fastest run not stolen from; nothing when no run counted.
std::optional<double> TimedChainMhz(const tChainPlan& plan, double cycles,
                                    const std::function<std::optional<tChainRun>()>& run);
