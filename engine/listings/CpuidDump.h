// The CPUID dump: the 27 raw leaves of one processor as a 30-line text file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/store/CommonTypes.h"

// The value as exactly 8 upper-case hexadecimal digits.
std::string Hex8(std::uint32_t value);

// The dump of one processor, every line ended by CR LF.
std::string FormatCpuidDump(const tCPUdata& data);

struct tDumpError {
  std::size_t Line = 0;  // 1-based
  std::string Reason;
};

// Reads a dump written by FormatCpuidDump; lines may end in CR LF or LF. On success fills
// `data` and returns nothing; otherwise returns the first line that is not as written and
// leaves `data` unspecified.
std::optional<tDumpError> ParseCpuidDump(std::string_view text, tCPUdata& data);
