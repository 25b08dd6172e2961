// Reading the CPUID dump files given with --load.
#pragma once

#include <string>
#include <variant>

#include "engine/CommonTypes.h"

// The processor recorded in the dump file at `path`, or a one-line error that names the
// file, quoted (and the line where the file is not a dump).
std::variant<tCPUdata, std::string> LoadDumpFile(const std::string& path);
