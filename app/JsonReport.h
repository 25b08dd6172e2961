// The machine-readable report: every record of every identified processor as one JSON
// document.
#pragma once

#include <chrono>
#include <optional>
#include <string>

class cCPUid;

// `driverLostAfter`: how long the driver answered before it stopped, where it did.
std::string JsonReport(const cCPUid& engine, bool driverLoaded,
                       std::optional<std::chrono::milliseconds> driverLostAfter = {});
