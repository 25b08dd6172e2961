// What the hardware-access device performs for the program, and nothing more: reads of the
// model-specific registers the program's readers use, and PCI configuration access through
// the configuration ports. Every register reader takes its register's index from the table
// below, so the table is the whole list of registers the program reads.
#pragma once

#include <cstdint>

// The kinds of request the device performs.
enum class tRequestKind { PortRead, PortWrite, MsrRead, MsrWrite };

// The registers the multiplier and clock readers read.
inline constexpr std::uint32_t kMsrEblCrPoweron = 0x2A;        // Intel: bus ratio at power-on
inline constexpr std::uint32_t kMsrEbcFrequencyId = 0x2C;      // Intel family 15: core ratio
inline constexpr std::uint32_t kMsrHwcr = 0xC0010015;          // AMD: start-up frequency ID
inline constexpr std::uint32_t kMsrFidVidStatus = 0xC0010042;  // AMD: current frequency ID

struct tReadableMsr {
  std::uint32_t Index;
  const char* Name;
  const char* Reason;  // the reader that reads it, and what it takes from it
};

inline constexpr tReadableMsr kReadableMsrs[] = {
    {kMsrEblCrPoweron, "EBL_CR_POWERON",
     "multiplier of the Intel P6 family (bits 25..22, 30..27), the Pentium M (bits 26..22) and "
     "the first family-15 models (bits 11..8)"},
    {kMsrEbcFrequencyId, "EBC_FREQUENCY_ID",
     "multiplier of the later Intel family-15 models (bits 28..24)"},
    {kMsrHwcr, "HWCR",
     "start-up frequency ID of AMD K7 (bits 27..24, 19) and K8 (bits 29..24) without PowerNow! "
     "or Cool'n'Quiet"},
    {kMsrFidVidStatus, "FIDVID_STATUS",
     "current frequency ID (bits 4..0) of AMD K7 with PowerNow! and K8 with Cool'n'Quiet"},
};

// The PCI configuration ports: the address port takes whole double words only (its other
// bytes are other registers: 0xCF9 resets the machine), the data port any access inside its
// four bytes.
inline constexpr std::uint16_t kPciConfigAddress = 0xCF8;
inline constexpr std::uint16_t kPciConfigData = 0xCFC;

// True when a request of `kind` on `address` (a port or a register index) of `width` bytes is
// one the program makes: a read of a register of the table, or an access of the PCI
// configuration ports. Register writes are never among them.
bool ProgramRequest(tRequestKind kind, std::uint32_t address, unsigned width);

// Decides which requests a device performs.
using tAccessPolicy = bool (*)(tRequestKind kind, std::uint32_t address, unsigned width);
