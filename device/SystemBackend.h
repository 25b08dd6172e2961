// The hardware-access backend of this system: I/O ports through the processor's port
// instructions and model-specific registers through the register device of each processor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/DeviceBackend.h"
#include "device/PortInstructions.h"

// A port access is one instruction of the width asked for, on the port permitted to the
// calling thread for that access alone. Register `index` of processor N is read or written at
// offset `index` of <root>/cpu/N/msr, N being the processor the calling thread runs on at the
// time of the request (the caller pins the thread where it matters), or the processor named by
// UseProcessor. The register device is opened for each request, read-only unless the request
// writes; nothing stays open.
class cSystemBackend : public IDeviceBackend {
 public:
  explicit cSystemBackend(
      std::string deviceRoot = "/dev",
      std::shared_ptr<IPortInstructions> ports = std::make_shared<cPortInstructions>());

  // True when the register device of the calling thread's processor opens for reading.
  bool Open();

  // The processor the register requests act on from now on; -1: the calling thread's. The
  // driver process serves requests sent from other processors.
  void UseProcessor(int cpu) { processor_ = cpu; }

  bool ReadPort(std::uint16_t port, unsigned width, std::uint32_t& value) override;
  bool WritePort(std::uint16_t port, unsigned width, std::uint32_t value) override;
  bool ReadMsr(std::uint32_t index, std::uint64_t& value) override;
  bool WriteMsr(std::uint32_t index, std::uint64_t value) override;

 private:
  // Opens the register device of the calling thread's processor; -1 when it does not open.
  int OpenMsrDevice(int flags) const;
  // Gives the calling thread the `width` ports from `port`; false for a width that is not 1, 2
  // or 4, for ports past 0xFFFF, and without permission.
  bool PermitPorts(std::uint16_t port, unsigned width);

  std::string root_;
  std::shared_ptr<IPortInstructions> ports_;
  int processor_ = -1;
};
