// Why the driver could not be used, in one line that says what to do and what it costs: the
// window's Topology page and both reports show it where the driver did not load.
#pragma once

#include <string>
#include <string_view>

enum class tDriverRefusal {
  VirtualMachine,  // the driver is not started inside a virtual machine
  NoMsrDevice,     // root, but the system's MSR device is not there
  NoPermission,    // the MSR device is there but cannot be opened
  NoLauncher,      // not root, and pkexec or the driver beside the program is missing
  NotApproved,     // not root: the administrator's approval was declined or not given
};

// What the reason is made out from.
struct tDriverFacts {
  bool InVirtualMachine = false;
  bool Root = false;
  bool MsrDevicePresent = false;
  bool LauncherPresent = false;
};

tDriverRefusal RefusalOf(const tDriverFacts& facts);

// The facts of this process and machine; `deviceRoot` is where the register devices live.
// Probes the known virtual machines as the driver's start does.
tDriverFacts ThisMachinesDriverFacts(const std::string& deviceRoot = "/dev");

// The reason, what to do about it and what is missing without the driver.
std::string_view RefusalText(tDriverRefusal refusal);
