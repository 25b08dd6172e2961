// The files of an hwloc-gather-cpuid folder: one per logical processor (pu0, pu1, ...), a
// comment line, then one answer a line, the input registers before "=>" and the output after,
// in lower-case hexadecimal without leading zeros:
//   # mask e[abcd]x => e[abcd]x
//   5 4 0 1 0 => 4121 1c0003f 3f 0
// The mask says which inputs count: 1 EAX (the leaf), 5 EAX and ECX (leaf and sub-leaf).
#pragma once

#include <string>
#include <string_view>

#include "engine/listings/ListingText.h"

// The first line of every file, and the name of the folder's other file with its text.
inline constexpr std::string_view kHwlocPuHeading = "# mask e[abcd]x => e[abcd]x";
inline constexpr std::string_view kHwlocInfoFile = "hwloc-cpuid-info";
inline constexpr std::string_view kHwlocInfoText = "Architecture: x86\n";

// True when `firstLine` opens one of these files.
bool LooksLikeHwlocPu(std::string_view firstLine);

// The one processor of a file; any line that is neither a comment, blank nor an answer with
// the mask 1 or 5 is an error.
tListingRead ReadHwlocPu(std::string_view text);

// The file of one processor: every answer of the store, with the mask 5 for a leaf the store
// holds a sub-leaf other than 0 of, the mask 1 (any sub-leaf gets the same answer) otherwise.
std::string FormatHwlocPu(const tCpuidStore& store);
