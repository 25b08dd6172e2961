// The hardware-access backend of this system: I/O ports through the port device and
// model-specific registers through the register device of each processor.
#pragma once

#include <cstdint>
#include <string>

#include "driver/DeviceBackend.h"

// Ports are read and written at their number as offset in <root>/port; register `index` of
// processor N at offset `index` in <root>/cpu/N/msr, N being the processor the calling thread
// runs on at the time of the request (the caller pins the thread where it matters).
class cSystemBackend : public IDeviceBackend {
 public:
  explicit cSystemBackend(std::string deviceRoot = "/dev");
  ~cSystemBackend() override;
  cSystemBackend(const cSystemBackend&) = delete;
  cSystemBackend& operator=(const cSystemBackend&) = delete;

  // Opens the port device (kept open) and tries the register device of the calling thread's
  // processor. True when the register device opened; ports are then served if their device
  // opened too.
  bool Open();

  bool ReadPort(std::uint16_t port, unsigned width, std::uint32_t& value) override;
  bool WritePort(std::uint16_t port, unsigned width, std::uint32_t value) override;
  bool ReadMsr(std::uint32_t index, std::uint64_t& value) override;
  bool WriteMsr(std::uint32_t index, std::uint64_t value) override;

 private:
  // Opens the register device of the calling thread's processor; -1 when it does not open.
  int OpenMsrDevice(int flags) const;

  std::string root_;
  int portFd_ = -1;
};
