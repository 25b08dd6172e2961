// What the hardware-access device performs its requests with: processor I/O ports and the
// model-specific registers of the processor the calling thread runs on.
#pragma once

#include <cstdint>

class IDeviceBackend {
 public:
  virtual ~IDeviceBackend() = default;

  // Port access of `width` bytes (1, 2 or 4); the value sits in the low bytes. False when the
  // port could not be reached.
  virtual bool ReadPort(std::uint16_t port, unsigned width, std::uint32_t& value) = 0;
  virtual bool WritePort(std::uint16_t port, unsigned width, std::uint32_t value) = 0;

  // Register `index` of the processor the calling thread runs on. False when the register
  // could not be read or written (no such register, no access).
  virtual bool ReadMsr(std::uint32_t index, std::uint64_t& value) = 0;
  virtual bool WriteMsr(std::uint32_t index, std::uint64_t value) = 0;
};
