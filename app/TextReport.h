// The human-readable report: each machine at a glance, then per processor what the window's
// pages show.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

class cCPUid;

// Whether the hardware-access device was opened for the processors reported.
enum class tHardwareAccess {
  Loaded,
  Lost,  // loaded, then it stopped answering before the report was made
  NotLoaded,
  NotTried,  // the processors are recorded, not this machine's
  Skipped,   // -nodriver
};

// `probedHypervisor` is what the virtual-machine probes found where CPUID names no hypervisor
// ("" for nothing, or where they were not run). `lostAfter` is how long the device answered,
// for tHardwareAccess::Lost. Each machine's summary comes first; then the processors, those
// alike but for their APIC IDs (and what was measured of them) in one block that lists them,
// unless `everyProcessor` asks for a block each. `driverRefusal` says why the driver did not
// load (RefusalText), where it did not.
std::string TextReport(const cCPUid& engine, tHardwareAccess access,
                       std::string_view probedHypervisor = {},
                       std::chrono::milliseconds lostAfter = {}, bool everyProcessor = false,
                       std::string_view driverRefusal = {});

// "lost after 2.5 s": what became of a device that stopped answering after `lostAfter`.
std::string LostText(std::chrono::milliseconds lostAfter);
