#include "hw/LLDrv.h"

#include <unistd.h>

#include <mutex>
#include <utility>

#include "driver/SystemBackend.h"
#include "hw/Modprobe.h"
#include "hw/VirtMach.h"

namespace {

void LoadMsrModule() {
  const std::string modprobe = SystemModprobe();
  if (!modprobe.empty()) RunModprobe(modprobe, "msr");
}

}  // namespace

cLLDrv::cLLDrv(std::string deviceRoot, tVirtualMachineProbe inVirtualMachine,
               std::shared_ptr<IPortInstructions> ports)
    : root_(std::move(deviceRoot)), inVirtualMachine_(inVirtualMachine), ports_(std::move(ports)) {}

bool cLLDrv::InKnownVirtualMachine() {
  return InVMware() || InVirtualPC();
}

bool cLLDrv::InstallDriver() {
  if (inVirtualMachine_()) return false;
  StartDriverService();
  return OpenDevice();
}

void cLLDrv::StartDriverService() const {
  static std::once_flag loaded;
  if (geteuid() != 0 || access((root_ + "/cpu/0/msr").c_str(), F_OK) == 0) return;
  std::call_once(loaded, LoadMsrModule);
}

bool cLLDrv::OpenDevice() {
  auto backend = std::make_shared<cSystemBackend>(root_, ports_);
  if (!backend->Open()) return false;
  DeviceHandle = std::make_shared<cControlDevice>(std::move(backend));
  return true;
}
