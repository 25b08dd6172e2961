// The machine-readable report: every record of every identified processor as one JSON
// document.
#pragma once

#include <string>

class cCPUid;

std::string JsonReport(const cCPUid& engine, bool driverLoaded);
