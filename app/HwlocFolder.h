// The folders of hwloc-gather-cpuid: a file per logical processor (pu0, pu1, ...) and
// hwloc-cpuid-info, which hwloc reads through HWLOC_CPUID_PATH.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/store/CpuidStore.h"

// True when `path` names a folder (a link to one included).
bool IsFolder(const std::string& path);

// The processors of the folder's files pu<N>, by N; a one-line error naming the folder, or
// the file and line, when there is none or one cannot be read.
std::variant<std::vector<tCpuidStore>, std::string> LoadHwlocFolder(const std::string& path);

// Writes the stores as pu<N> (N the operating system's number of the processor, else its
// slot) and hwloc-cpuid-info into the folder `path`, made
// whole beside it and then given its name, so that the folder is whole or not there. A
// folder that holds files already is refused and left as it is. Nothing on success, else
// the one-line reason.
std::optional<std::string> WriteHwlocFolder(const std::string& path,
                                            const std::vector<tCpuidStore>& stores);
