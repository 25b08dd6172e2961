// The loader of the hardware-access device: makes the system's register devices available and
// opens the device the control codes go to.
#pragma once

#include <memory>
#include <string>

#include "driver/ControlDevice.h"
#include "driver/PortInstructions.h"

// Stands for the opened device; empty (invalid) until a device is opened.
using tDeviceHandle = std::shared_ptr<IControlDevice>;

class cLLDrv {
 public:
  using tVirtualMachineProbe = bool (*)();

  // `deviceRoot` is where the register devices live. `inVirtualMachine` says whether the
  // program runs in a virtual machine, where nothing is loaded. `ports` executes the port
  // requests.
  explicit cLLDrv(std::string deviceRoot = "/dev",
                  tVirtualMachineProbe inVirtualMachine = InKnownVirtualMachine,
                  std::shared_ptr<IPortInstructions> ports = std::make_shared<cPortInstructions>());

  // Makes the devices available and opens the device. Inside a virtual machine nothing is
  // touched and the result is false. Only the open decides the result: devices that were
  // already available open whatever the earlier steps did.
  bool InstallDriver();

  // Opens the device over the system's port instructions and register devices into
  // DeviceHandle. True when the register device of the calling thread's processor opens.
  bool OpenDevice();

  tDeviceHandle DeviceHandle;

  static bool InKnownVirtualMachine();

 private:
  // Loads the register-device module, with the system's modprobe, once per process when its
  // device is missing and the process runs as root. Its outcome is not checked; the open
  // tells.
  void StartDriverService() const;

  std::string root_;
  tVirtualMachineProbe inVirtualMachine_;
  std::shared_ptr<IPortInstructions> ports_;
};
