// Every model-specific register the program reads, with the processors it is read on, why,
// and where its layout is documented. The program reads no other register, and it writes
// none: a privileged helper may allow exactly these reads and refuse everything else.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Intel.
inline constexpr std::uint32_t kMsrEblCrPoweron = 0x2A;
inline constexpr std::uint32_t kMsrEbcFrequencyId = 0x2C;
inline constexpr std::uint32_t kMsrPlatformInfo = 0xCE;
inline constexpr std::uint32_t kMsrPerfStatus = 0x198;
inline constexpr std::uint32_t kMsrRaplPowerUnit = 0x606;
inline constexpr std::uint32_t kMsrPackageEnergyStatus = 0x611;
// Intel and AMD.
inline constexpr std::uint32_t kMsrMperf = 0xE7;
inline constexpr std::uint32_t kMsrAperf = 0xE8;
// AMD.
inline constexpr std::uint32_t kMsrHwcr = 0xC0010015;
inline constexpr std::uint32_t kMsrFidVidStatus = 0xC0010042;
inline constexpr std::uint32_t kMsrPStateStatus = 0xC0010063;
inline constexpr std::uint32_t kMsrPStateDefinition0 = 0xC0010064;
inline constexpr std::uint32_t kMsrPStateDefinition7 = 0xC001006B;
inline constexpr std::uint32_t kMsrCofVidStatus = 0xC0010071;
inline constexpr std::uint32_t kMsrAmdRaplPowerUnit = 0xC0010299;
inline constexpr std::uint32_t kMsrAmdPackageEnergyStatus = 0xC001029B;

struct tMsrRead {
  std::uint32_t First;  // the register, or the first of a block of registers
  std::uint32_t Last;
  std::string_view Name;
  std::string_view ReadOn;  // the processors it is read on
  std::string_view Reason;
  std::string_view Source;
};

inline constexpr std::array<tMsrRead, 15> kMsrReads{{
    {kMsrEblCrPoweron, kMsrEblCrPoweron, "EBL_CR_POWERON",
     "Intel family 6 models 8 to 14; family 15 models 0 and 1",
     "bus ratio at power-on: the multiplier", "Intel SDM vol. 3, P6 family and Pentium 4 MSRs"},
    {kMsrEbcFrequencyId, kMsrEbcFrequencyId, "EBC_FREQUENCY_ID", "Intel family 15 models 2 to 4",
     "core clock ratio: the multiplier", "Intel SDM vol. 3, Pentium 4 MSRs"},
    {kMsrPlatformInfo, kMsrPlatformInfo, "MSR_PLATFORM_INFO",
     "Intel family 6 from Nehalem (Goldmont on the Atom side), families 0x12 and 0x13",
     "maximum non-turbo ratio (15..8): the time-stamp counter runs at it, so the counter's rate "
     "over it is the bus clock",
     "Intel SDM vol. 4, MSRs of Nehalem (ratio x 133.33 MHz) and of Sandy Bridge and later "
     "(ratio x 100 MHz)"},
    {kMsrPerfStatus, kMsrPerfStatus, "IA32_PERF_STATUS",
     "Intel family 6 from Nehalem (Goldmont on the Atom side), families 0x12 and 0x13",
     "current performance state: the ratio the core runs at (15..0 on Nehalem and Westmere, "
     "15..8 from Sandy Bridge)",
     "Intel SDM vol. 4, table of architectural MSRs and the MSRs of each micro-architecture"},
    {kMsrMperf, kMsrMperf, "IA32_MPERF / MPERF",
     "every processor with leaf 6 ECX bit 0 (hardware coordination feedback)",
     "reference cycles over the measuring window",
     "Intel SDM vol. 3B 14.2 (P-state hardware coordination); AMD APM vol. 2, effective "
     "frequency interface"},
    {kMsrAperf, kMsrAperf, "IA32_APERF / APERF",
     "every processor with leaf 6 ECX bit 0 (hardware coordination feedback)",
     "actual cycles over the measuring window: the effective clock is the counter's rate times "
     "their ratio to the reference cycles",
     "Intel SDM vol. 3B 14.2; AMD APM vol. 2, effective frequency interface"},
    {kMsrHwcr, kMsrHwcr, "HWCR", "AMD families 6 and 15 (first generation)",
     "start-up frequency ID: the multiplier where PowerNow or Cool'n'Quiet is absent",
     "AMD Athlon and Athlon 64 BIOS and kernel developer's guides"},
    {kMsrFidVidStatus, kMsrFidVidStatus, "FIDVID_STATUS",
     "AMD families 6 and 15 (first generation)", "current frequency ID: the multiplier",
     "AMD Athlon and Athlon 64 BIOS and kernel developer's guides"},
    {kMsrPStateStatus, kMsrPStateStatus, "P-state status",
     "AMD families 0x17 and later, Hygon family 0x18", "current P-state (2..0)",
     "AMD PPR for family 17h and later: MSRC001_0063 CurPstate"},
    {kMsrPStateDefinition0, kMsrPStateDefinition7, "P-state definitions 0 to 7",
     "AMD families 0x17 and later, Hygon family 0x18 (only the current P-state's)",
     "frequency of the current P-state: the multiplier over the 100 MHz reference",
     "AMD PPR for family 17h/19h: CoreCOF = CpuFid[7:0] / CpuDfsId[13:8] x 200 MHz; family 1Ah: "
     "CoreCOF = CpuFid[11:0] x 5 MHz"},
    {kMsrRaplPowerUnit, kMsrRaplPowerUnit, "MSR_RAPL_POWER_UNIT",
     "Intel family 6 from Sandy Bridge (the processors whose ratio is read from IA32_PERF_STATUS "
     "15..8), on the first processor of each package",
     "energy status unit (12..8): the counter counts 1 / 2^ESU joules",
     "Intel SDM vol. 3B 15.10.1 (RAPL interfaces)"},
    {kMsrPackageEnergyStatus, kMsrPackageEnergyStatus, "MSR_PKG_ENERGY_STATUS",
     "as MSR_RAPL_POWER_UNIT",
     "the package's energy (31..0) at both ends of the measuring "
     "window: its power",
     "Intel SDM vol. 3B 15.10.3"},
    {kMsrAmdRaplPowerUnit, kMsrAmdRaplPowerUnit, "RAPL_PWR_UNIT",
     "AMD and Hygon processors with leaf 0x80000007 EDX bit 14 (RAPL), on the first processor "
     "of each package",
     "energy status unit (12..8), as Intel's", "AMD PPR for family 17h and later: MSRC001_0299"},
    {kMsrAmdPackageEnergyStatus, kMsrAmdPackageEnergyStatus, "PKG_ENERGY_STAT", "as RAPL_PWR_UNIT",
     "the package's energy (31..0) at both ends of the measuring window",
     "AMD PPR for family 17h and later: MSRC001_029B"},
    {kMsrCofVidStatus, kMsrCofVidStatus, "COFVID status", "AMD families 0x10, 0x11, 0x15 and 0x16",
     "current frequency and divisor IDs: the multiplier",
     "AMD BKDG families 10h, 15h, 16h: CoreCOF = 100 MHz x (CurCpuFid[5:0] + 10h) / "
     "2^CurCpuDid[8:6]; family 11h: (CurCpuFid + 8)"},
}};

// Whether `index` is one of the registers above.
constexpr bool IsReadRegister(std::uint32_t index) {
  for (const tMsrRead& read : kMsrReads) {
    if (read.First <= index && index <= read.Last) return true;
  }
  return false;
}
