// The machine-readable report: every record of every identified processor as one JSON
// document.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

class cCPUid;

// `driverLostAfter`: how long the driver answered before it stopped, where it did;
// `driverRefusal` says why the driver did not load where it did not ("" otherwise).
std::string JsonReport(const cCPUid& engine, bool driverLoaded,
                       std::optional<std::chrono::milliseconds> driverLostAfter = {},
                       std::string_view driverRefusal = {});
