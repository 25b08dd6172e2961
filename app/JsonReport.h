// The machine-readable report: every record of every identified processor as one JSON
// document.
#pragma once

#include <string>
#include <string_view>

class cCPUid;

// `driverRefusal` says why the driver did not load where it did not ("" otherwise).
std::string JsonReport(const cCPUid& engine, bool driverLoaded,
                       std::string_view driverRefusal = {});
