// The loader of the hardware-access device: makes the system's register devices available and
// opens the device the control codes go to.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "device/ControlDevice.h"
#include "device/PortInstructions.h"

// Stands for the opened device; empty (invalid) until a device is opened.
using tDeviceHandle = std::shared_ptr<IControlDevice>;

class cLLDrv {
 public:
  using tVirtualMachineProbe = bool (*)();
  // Starts the driver as a process of its own and connects to it; empty when it did not start.
  using tProcessStart = std::function<tDeviceHandle()>;

  // Where the driver runs: in this process, which must then be root, or as a process of its
  // own that holds the privilege this one lacks.
  enum class tPlacement { InProcess, SeparateProcess };
  // In this process when it runs as root, else separately.
  static tPlacement PlacementForThisProcess();

  // `deviceRoot` is where the register devices live. `inVirtualMachine` says whether the
  // program runs in a virtual machine, where nothing is loaded. `ports` executes the port
  // requests. `placement` says where the driver runs, and `startProcess` starts it where it
  // runs separately.
  explicit cLLDrv(std::string deviceRoot = "/dev",
                  tVirtualMachineProbe inVirtualMachine = InKnownVirtualMachine,
                  std::shared_ptr<IPortInstructions> ports = std::make_shared<cPortInstructions>(),
                  tPlacement placement = PlacementForThisProcess(),
                  tProcessStart startProcess = DefaultProcessStart());

  // Makes the driver available and opens its device. Inside a virtual machine nothing is
  // touched and the result is false. In this process: makes the register devices available
  // and opens them; only the open decides the result, so devices that were already available
  // open whatever the earlier steps did. Separately: starts the driver's process, which
  // answers or not (the user may decline).
  bool InstallDriver();

  // Opens the device over the system's port instructions and register devices into
  // DeviceHandle. True when the register device of the calling thread's processor opens.
  bool OpenDevice();

  tDeviceHandle DeviceHandle;

  static bool InKnownVirtualMachine();
  // The start of the driver beside the running program, through pkexec.
  static tProcessStart DefaultProcessStart();

 private:
  std::string root_;
  tVirtualMachineProbe inVirtualMachine_;
  std::shared_ptr<IPortInstructions> ports_;
  tPlacement placement_;
  tProcessStart startProcess_;
};
