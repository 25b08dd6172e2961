// The kinds of register that hold the ratio a core runs at now and its reference clock, as the
// code-name table assigns them to today's processors and the ratio readers read them.
#pragma once

#include <cstdint>

// Where the core's current ratio and its reference clock are read, for the parts whose
// registers are documented for it.
enum class tRatioRegisters : std::uint8_t {
  None,
  IntelNehalem,       // IA32_PERF_STATUS 15..0, 133.33 MHz
  IntelCore,          // IA32_PERF_STATUS 15..8, 100 MHz
  AmdCofVid200,       // COFVID status, (CpuFid + 10h) / 2^CpuDid x 100 MHz; 200 MHz reference
  AmdCofVid100,       // the same formula, 100 MHz reference
  AmdCofVidFamily11,  // COFVID status, (CpuFid + 8) / 2^CpuDid x 100 MHz; 200 MHz reference
  AmdPState,          // current P-state's definition, CpuFid / CpuDfsId x 200 MHz
  AmdPStateFamily1A,  // current P-state's definition, CpuFid x 5 MHz
};
