// The control codes the program sends to its hardware-access device, and the statuses the
// device completes them with. Both sides of the protocol include this header.
#pragma once

#include <cstdint>

// Type of the hardware-access device; every control code carries it in its upper half.
inline constexpr std::uint32_t kDeviceTypeVXL = 0x9C40;

// Transfer method of every code: buffered, input and output share one buffer.
inline constexpr std::uint32_t kMethodBuffered = 0;

inline constexpr std::uint32_t kAccessAny = 0;
inline constexpr std::uint32_t kAccessRead = 1;
inline constexpr std::uint32_t kAccessWrite = 2;

constexpr std::uint32_t ControlCode(std::uint32_t deviceType, std::uint32_t function,
                                    std::uint32_t access, std::uint32_t method) {
  return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

inline constexpr std::uint32_t IOCTL_READ_PORT_BYTE =
    ControlCode(kDeviceTypeVXL, 0x900, kAccessRead, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_READ_PORT_WORD =
    ControlCode(kDeviceTypeVXL, 0x901, kAccessRead, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_READ_PORT_DWORD =
    ControlCode(kDeviceTypeVXL, 0x902, kAccessRead, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_WRITE_PORT_BYTE =
    ControlCode(kDeviceTypeVXL, 0x910, kAccessWrite, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_WRITE_PORT_WORD =
    ControlCode(kDeviceTypeVXL, 0x911, kAccessWrite, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_WRITE_PORT_DWORD =
    ControlCode(kDeviceTypeVXL, 0x912, kAccessWrite, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_READ_MSR =
    ControlCode(kDeviceTypeVXL, 0x981, kAccessAny, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_WRITE_MSR =
    ControlCode(kDeviceTypeVXL, 0x982, kAccessAny, kMethodBuffered);

// Codes of the driver process beyond the eight: the firmware's SMBIOS tables, which only root
// may read. The entry point takes no input and returns the entry-point structure; the table
// takes a byte offset (u32) and returns the table's bytes from there, as many as fit the
// output (fewer at the end of the table, none past it).
inline constexpr std::uint32_t IOCTL_READ_SMBIOS_ENTRY_POINT =
    ControlCode(kDeviceTypeVXL, 0x9A0, kAccessRead, kMethodBuffered);
inline constexpr std::uint32_t IOCTL_READ_SMBIOS_TABLE =
    ControlCode(kDeviceTypeVXL, 0x9A1, kAccessRead, kMethodBuffered);
// The output the program gives an entry point (a 2.x one is 0x1F bytes, a 3.x one 0x18), and
// the longest table the driver hands out; a longer table is cut there.
inline constexpr std::uint32_t kMaxSMBIOSEntryPoint = 64;
inline constexpr std::uint32_t kMaxSMBIOSTable = 4 * 1024 * 1024;

// Completion statuses of a request.
enum class tDeviceStatus : std::uint32_t {
  Success = 0x00000000,
  Unsuccessful = 0xC0000001,          // the hardware did not answer the request
  InvalidParameter = 0xC000000D,      // a buffer of the wrong length
  InvalidDeviceRequest = 0xC0000010,  // a code the device does not know
  AccessDenied = 0xC0000022,          // a request outside what the program may ask for
};
