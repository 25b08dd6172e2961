#include "hw/DriverRefusal.h"

#include <unistd.h>

#include "hw/DriverProcess.h"
#include "hw/LLDrv.h"

namespace {

struct tRefusalRow {
  tDriverRefusal Refusal;
  std::string_view Text;
};

// Without the driver the multiplier's register, the bus clock worked out from it and the
// firmware's SMBIOS tables are not read.
constexpr tRefusalRow kRefusals[] = {
    {tDriverRefusal::VirtualMachine,
     "inside a virtual machine the driver is not started; no multiplier, bus clock or SMBIOS"},
    {tDriverRefusal::NoMsrDevice,
     "no MSR device (/dev/cpu/0/msr): load it with \"modprobe msr\"; until then no multiplier, "
     "bus clock or SMBIOS"},
    {tDriverRefusal::NoPermission,
     "no permission to open /dev/cpu/0/msr: run as root with CAP_SYS_RAWIO; until then no "
     "multiplier, bus clock or SMBIOS"},
    {tDriverRefusal::NoLauncher,
     "pkexec or lumarian-driver is not installed: install polkit's pkexec beside the driver; "
     "until then no multiplier, bus clock or SMBIOS"},
    {tDriverRefusal::NotApproved,
     "the administrator's approval was declined or not given: start again and approve; until "
     "then no multiplier, bus clock or SMBIOS"},
};

}  // namespace

tDriverRefusal RefusalOf(const tDriverFacts& facts) {
  if (facts.InVirtualMachine) return tDriverRefusal::VirtualMachine;
  if (facts.Root)
    return facts.MsrDevicePresent ? tDriverRefusal::NoPermission : tDriverRefusal::NoMsrDevice;
  return facts.LauncherPresent ? tDriverRefusal::NotApproved : tDriverRefusal::NoLauncher;
}

tDriverFacts ThisMachinesDriverFacts(const std::string& deviceRoot) {
  tDriverFacts facts;
  facts.InVirtualMachine = cLLDrv::InKnownVirtualMachine();
  facts.Root = geteuid() == 0;
  facts.MsrDevicePresent = access((deviceRoot + "/cpu/0/msr").c_str(), F_OK) == 0;
  facts.LauncherPresent = !DriverLaunchCommand().empty();
  return facts;
}

std::string_view RefusalText(tDriverRefusal refusal) {
  for (const tRefusalRow& row : kRefusals) {
    if (row.Refusal == refusal) return row.Text;
  }
  return {};
}
