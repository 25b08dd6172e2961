// Why the driver could not be used: the reason from the facts of the process and the machine,
// each reason's line, and the facts of a device folder without an MSR device.
#include "hw/DriverRefusal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DriverRefusal, TheReasonFollowsFromTheFacts) {
  using R = tDriverRefusal;
  const struct {
    tDriverFacts Facts;  // virtual machine, root, MSR device, launcher
    R Refusal;
  } rows[] = {
      {{true, true, true, true}, R::VirtualMachine},  // a virtual machine goes before all
      {{true, false, false, false}, R::VirtualMachine},
      {{false, true, false, true}, R::NoMsrDevice},  // root: the device decides
      {{false, true, true, false}, R::NoPermission},
      {{false, false, true, false}, R::NoLauncher},  // not root: the launcher decides
      {{false, false, false, true}, R::NotApproved},
  };
  for (const auto& row : rows) {
    const tDriverFacts& f = row.Facts;
    EXPECT_EQ(RefusalOf(f), row.Refusal)
        << f.InVirtualMachine << f.Root << f.MsrDevicePresent << f.LauncherPresent;
  }
}

TEST(DriverRefusal, EachReasonSaysWhatToDoAndWhatItCostsInOneLine) {
  const struct {
    tDriverRefusal Refusal;
    const char* Says;
  } rows[] = {
      {tDriverRefusal::VirtualMachine, "virtual machine"},
      {tDriverRefusal::NoMsrDevice, "modprobe msr"},
      {tDriverRefusal::NoPermission, "CAP_SYS_RAWIO"},
      {tDriverRefusal::NoLauncher, "pkexec"},
      {tDriverRefusal::NotApproved, "approv"},
  };
  for (const auto& row : rows) {
    const std::string text(RefusalText(row.Refusal));
    EXPECT_NE(text.find(row.Says), std::string::npos) << text;
    EXPECT_NE(text.find("no multiplier, bus clock or SMBIOS"), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  }
}

TEST(DriverRefusal, AFolderWithoutAnMsrDeviceHasNone) {
  EXPECT_FALSE(ThisMachinesDriverFacts("/nonexistent-device-root").MsrDevicePresent);
}

}  // namespace
