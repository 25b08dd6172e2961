// The x86-64 micro-architecture level of a processor (x86-64-v1 to x86-64-v4): the highest
// level of the x86-64 psABI whose every feature the processor reports, AVX and AVX-512 counted
// only where the operating system has enabled their register state.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/decode/FeatureFlags.h"
#include "engine/store/CpuidStore.h"

// 0: not an x86-64 processor (no long mode) or the baseline incomplete; 1 to 4 otherwise.
using tX86Level = int;

// The register state a level needs beyond the baseline, as XCR0 bits.
inline constexpr std::uint64_t kAvxState = 0x6;      // SSE and the upper halves of YMM
inline constexpr std::uint64_t kAvx512State = 0xE6;  // and opmask, ZMM_Hi256, Hi16_ZMM

// The XCR0 bits the operating system has enabled, as far as the processor's answers tell:
// none without OSXSAVE (leaf 1 ECX bit 27); else each state group of kAvxState and
// kAvx512State that leaf 0xD sub-leaf 0 lists as supported (EAX) and that the size of the
// save area of the enabled state (EBX) has room for.
std::uint64_t EnabledStateOf(const tCpuidStore& store);

// The level of a processor with the feature registers `words` and the enabled state `xcr0`.
tX86Level X86LevelOf(const tFeatureWords& words, std::uint64_t xcr0);
tX86Level X86LevelOf(const tCpuidStore& store);

// "x86-64-v1" .. "x86-64-v4"; "" for 0.
std::string_view X86LevelName(tX86Level level);
