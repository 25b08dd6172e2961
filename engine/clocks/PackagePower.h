// The package's power from its RAPL energy counter, read through the driver at both ends of
// the measuring window on the first processor of each package.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/clocks/RatioRegisters.h"
#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

struct tEnergyRegisters {
  std::uint32_t Unit;    // the power unit register: energy status unit in 12..8
  std::uint32_t Energy;  // the package's energy status: a 32-bit counter in 31..0
};

// The energy registers of a processor: Intel's from Sandy Bridge (the parts whose ratio is read
// from IA32_PERF_STATUS 15..8), AMD's where leaf 0x80000007 EDX bit 14 says RAPL is there;
// nothing for the others.
std::optional<tEnergyRegisters> EnergyRegistersOf(tVendor vendor,
                                                  std::optional<tRatioRegisters> ratioRegisters,
                                                  const tCpuidStore& store);

// The power in watts of a counter that went from `start` to `end` (its low 32 bits, which wrap)
// in `nanoseconds`, counting 1 / 2^ESU joules; nothing for a window of no length.
std::optional<double> PackageWatts(std::uint64_t unitRegister, std::uint64_t start,
                                   std::uint64_t end, std::int64_t nanoseconds);
