// The listing of `cpuid -r` (Debian's package cpuid): a "CPU n:" line ("CPU:" for one
// processor, or none at all) before the answers of each processor, one answer a line:
//    0x00000004 0x01: eax=0x00004122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000
// The sub-leaf column may be missing (sub-leaf 0); hexadecimal digits come in either case.
#pragma once

#include <string_view>

#include "engine/listings/ListingText.h"

// True when `firstLine` (the first line that is not blank, leading blanks removed) opens a
// listing of this kind.
bool LooksLikeCpuidToolListing(std::string_view firstLine);

// Every processor of the listing; any line that is neither a heading, an answer nor blank is
// an error.
tListingRead ReadCpuidToolListing(std::string_view text);
