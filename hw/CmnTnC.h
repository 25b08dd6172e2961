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

// Completion statuses of a request.
enum class tDeviceStatus : std::uint32_t {
  Success = 0x00000000,
  Unsuccessful = 0xC0000001,          // the hardware did not answer the request
  InvalidParameter = 0xC000000D,      // a buffer of the wrong length
  InvalidDeviceRequest = 0xC0000010,  // a code the device does not know
};
