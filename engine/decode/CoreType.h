// The kind of core a logical processor belongs to, as parts with more than one kind of core
// report it for each logical processor: Intel in leaf 0x1A, AMD in leaf 0x80000026.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/store/CpuidStore.h"

enum class tCoreType : std::uint8_t { Unknown, Performance, Efficiency };

// The core type the processor reports; Unknown where it reports none.
tCoreType CoreTypeOf(const tCpuidStore& store);
// "performance", "efficiency", or "" for Unknown.
std::string_view CoreTypeName(tCoreType type);
