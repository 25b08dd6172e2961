// Deployment of the hardware-access device: in this process when root, else the driver
// process started through pkexec.
#include "hw/LLDrv.h"

#include <unistd.h>

#include <utility>

#include "device/Modprobe.h"
#include "device/SystemBackend.h"
#include "hw/DriverProcess.h"
#include "hw/VirtMach.h"

cLLDrv::cLLDrv(std::string deviceRoot, tVirtualMachineProbe inVirtualMachine,
               std::shared_ptr<IPortInstructions> ports, tPlacement placement,
               tProcessStart startProcess)
    : root_(std::move(deviceRoot)),
      inVirtualMachine_(inVirtualMachine),
      ports_(std::move(ports)),
      placement_(placement),
      startProcess_(std::move(startProcess)) {}

cLLDrv::tPlacement cLLDrv::PlacementForThisProcess() {
  return geteuid() == 0 ? tPlacement::InProcess : tPlacement::SeparateProcess;
}

cLLDrv::tProcessStart cLLDrv::DefaultProcessStart() {
  return StartInstalledDriver;
}

bool cLLDrv::InKnownVirtualMachine() {
  return InVMware() || InVirtualPC();
}

bool cLLDrv::InstallDriver() {
  if (inVirtualMachine_()) return false;
  if (placement_ == tPlacement::SeparateProcess) {
    DeviceHandle = startProcess_ ? startProcess_() : nullptr;
    return DeviceHandle != nullptr;
  }
  LoadMsrModule(root_);
  return OpenDevice();
}

bool cLLDrv::OpenDevice() {
  auto backend = std::make_shared<cSystemBackend>(root_, ports_);
  if (!backend->Open()) return false;
  DeviceHandle = std::make_shared<cControlDevice>(std::move(backend));
  return true;
}
