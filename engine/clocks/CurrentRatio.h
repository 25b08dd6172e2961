// The multiplier and bus clock of today's processors, from the registers that hold the ratio
// the core runs at now and the reference clock it multiplies.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "engine/clocks/RatioRegisters.h"

// Multiplier methods of today's processors follow the seven register readers of the
// generations before them: method kFirstRatioMethod + k - 1 reads the k-th kind of ratio
// registers.
inline constexpr std::uint8_t kFirstRatioMethod = 8;

std::uint8_t RatioMethodOf(tRatioRegisters registers);
// The ratio registers a multiplier method reads; nothing for the other methods.
std::optional<tRatioRegisters> RatioRegistersOf(std::uint8_t method);

struct tRatioReading {
  float Multiplier = 0;
  double BusClock = 0;  // MHz
};

// Reads a 64-bit register; false when it cannot be read.
using tRegisterRead = std::function<bool(std::uint32_t index, std::uint64_t& value)>;

// The current multiplier and the bus clock it multiplies, from the registers of `registers`
// read through `read`. Where the part tells the ratio its time-stamp counter runs at, the bus
// clock is `tscMhz` (the counter's measured rate) over that ratio, else the documented
// reference clock. Nothing when a register cannot be read or holds no ratio.
std::optional<tRatioReading> ReadCurrentRatio(tRatioRegisters registers, const tRegisterRead& read,
                                              double tscMhz);
