// Reading a CPUID listing in any format the program knows, recognised from its content:
// this program's own 30-line dump, `cpuid -r` output, register listings, libcpuid's raw
// data and one file of an hwloc-gather-cpuid folder.
#pragma once

#include <string_view>

#include "engine/listings/ListingText.h"

// Every processor the listing holds, in the order listed, or the first line that keeps it
// from being read (line 1 when no format matches).
tListingRead ReadListing(std::string_view text);
