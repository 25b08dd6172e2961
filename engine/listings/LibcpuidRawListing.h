// The raw data that libcpuid saves (and the raw form of its test files): one entry a line,
//   basic_cpuid[1]=00b00f21 55fe0800 fed83203 178bfbff
// an array name and index standing for a leaf and sub-leaf, then EAX EBX ECX EDX. An optional
// "version=..." line comes first; "_________________ Logical CPU #n _________________" heads
// each processor of a file that holds several. The arrays have a fixed length whatever the
// processor reports, so an entry above the maximum leaf of its range was not answered by the
// processor and is left out.
#pragma once

#include <string_view>

#include "engine/listings/ListingText.h"

// True when `firstLine` (the first line that is not blank, leading blanks removed) opens a
// listing of this kind.
bool LooksLikeLibcpuidRawListing(std::string_view firstLine);

// Every processor of the listing. Entries of arrays this reader does not know are skipped;
// any other line that is neither an entry, a heading nor blank is an error.
tListingRead ReadLibcpuidRawListing(std::string_view text);
