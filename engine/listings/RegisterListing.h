// The register listing that collections of CPUID recordings use (the InstLatx64 collection,
// and the register form of libcpuid's test files): one answer a line,
//   CPUID 00000004: FC004121-02C0003F-0000003F-00000000 [SL 00] [L1D: 48 KB]
// with ": ", ":" or blanks after the leaf and "-" or blanks between the registers (EAX, EBX,
// ECX, EDX). "[SL nn]" gives the sub-leaf in hexadecimal; a leaf listed again without it
// lists its next sub-leaf, except leaf 0, which opens the next processor. Any other bracket is
// the writer's comment. Processors are separated by headings of several kinds; every other
// section (versions, board, memory, model-specific registers) and every other line is
// skipped unread.
#pragma once

#include <string_view>

#include "engine/listings/ListingText.h"

// Every processor of the listing. A line that starts as an answer ("CPUID" and 8 hexadecimal
// digits) but does not go on as one is an error; a text without answers is not a listing.
tListingRead ReadRegisterListing(std::string_view text);
