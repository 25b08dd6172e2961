// What the hardware-access device performs for the program, and nothing more: reads of the
// model-specific registers the program's readers use (the table of protocol/MsrReads.h,
// which the readers take their indices from), and PCI configuration reads through the
// configuration ports.
#pragma once

#include <cstdint>

// The kinds of request the device performs.
enum class tRequestKind { PortRead, PortWrite, MsrRead, MsrWrite };

// The PCI configuration ports: the address port takes writes of whole double words only (its
// other bytes are other registers: 0xCF9 resets the machine), the data port reads of any width
// inside its four bytes. The data port is never written: configuration space is read only.
inline constexpr std::uint16_t kPciConfigAddress = 0xCF8;
inline constexpr std::uint16_t kPciConfigData = 0xCFC;

// True when a request of `kind` on `address` (a port or a register index) of `width` bytes is
// one the program makes: a read of a register the program reads, the write of a configuration
// address or a read of configuration data. Register writes, writes of configuration data and
// every other port are never among them.
bool ProgramRequest(tRequestKind kind, std::uint32_t address, unsigned width);

// Decides which requests a device performs.
using tAccessPolicy = bool (*)(tRequestKind kind, std::uint32_t address, unsigned width);
