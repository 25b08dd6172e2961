// The human-readable report: per processor, what the window's pages show.
#pragma once

#include <string>

class cCPUid;

std::string TextReport(const cCPUid& engine, bool driverLoaded);
