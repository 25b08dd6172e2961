// The text of --decode: every field of every processor, grouped by leaf under the leaf's
// title, one field a line, in 100 columns. Processors whose answers differ in nothing but
// their own identifiers (APIC IDs) are shown once, under the list of the processors they
// stand for.
#pragma once

#include <span>
#include <string>

#include "engine/store/CpuidStore.h"

inline constexpr std::size_t kDecodeColumns = 100;

std::string DecodeText(std::span<const tCpuidStore> processors);
