// The human-readable report: per processor, what the window's pages show.
#pragma once

#include <string>

class cCPUid;

// Whether the hardware-access device was opened for the processors reported.
enum class tHardwareAccess {
  Loaded,
  NotLoaded,
  NotTried,  // the processors are recorded, not this machine's
  Skipped,   // -nodriver
};

std::string TextReport(const cCPUid& engine, tHardwareAccess access);
