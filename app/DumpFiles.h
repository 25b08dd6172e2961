// Reading the CPUID listings given with --load.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/store/CpuidStore.h"

// The processors recorded in the listing file at `path`, in the order listed (a folder: those
// of its hwloc-gather-cpuid files), or a one-line error that names the file, quoted (and the
// line that keeps it from being read).
std::variant<std::vector<tCpuidStore>, std::string> LoadDumpFile(const std::string& path);
