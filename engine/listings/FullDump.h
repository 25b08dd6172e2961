// The full dump: every captured answer of every processor, in the syntax of `cpuid -r`, so
// that Debian's `cpuid -f FILE` decodes it and ReadCpuidToolListing reads it back.
//   CPU 0:
//      0x00000000 0x00: eax=0x0000000d ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65
#pragma once

#include <span>
#include <string>

#include "engine/store/CpuidStore.h"

// A "CPU n:" line for each processor (n: its operating system's number, or its place in
// `processors` where it has none), then one line for each of its answers, in ascending
// order of leaf and sub-leaf. Lines end in LF; there are no blank lines.
std::string FormatFullDump(std::span<const tCpuidStore> processors);
