// The human-readable report: per processor, what the window's pages show.
#pragma once

#include <string>
#include <string_view>

class cCPUid;

// Whether the hardware-access device was opened for the processors reported.
enum class tHardwareAccess {
  Loaded,
  NotLoaded,
  NotTried,  // the processors are recorded, not this machine's
  Skipped,   // -nodriver
};

// `probedHypervisor` is what the virtual-machine probes found where CPUID names no hypervisor
// ("" for nothing, or where they were not run).
std::string TextReport(const cCPUid& engine, tHardwareAccess access,
                       std::string_view probedHypervisor = {});
