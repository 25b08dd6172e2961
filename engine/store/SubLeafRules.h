// How each leaf with more than one sub-leaf enumerates them: the capture asks for the
// sub-leaves a rule names, and the field decoder shows those the store holds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/store/CpuidStore.h"
#include "engine/store/Leaves.h"

enum class tSubLeafRule : std::uint8_t {
  Terminated,  // 0, 1, ... up to and including the first whose type field is 0
  Counted,     // 0 .. EAX of sub-leaf 0
  ByBits,      // 0, then n for each bit n >= 1 set in a register of sub-leaf 0
  XsaveState,  // 0, 1, then n for each bit n >= 2 of the XCR0 and IA32_XSS masks
};

enum class tRegister : std::uint8_t { EAX, EBX, ECX, EDX };

struct tLeafRule {
  std::uint32_t Leaf;
  tSubLeafRule Rule;
  tRegister Field;      // Terminated: the type field; ByBits: the register of bits
  unsigned Lo, Hi;      // Terminated: bits of the type field
  std::uint32_t First;  // Terminated: the first sub-leaf whose type field is looked at
  std::uint32_t Cap;    // sub-leaves at most
};

namespace subleaf_rows {
constexpr auto T = tSubLeafRule::Terminated;
constexpr auto C = tSubLeafRule::Counted;
constexpr auto B = tSubLeafRule::ByBits;
constexpr auto X = tSubLeafRule::XsaveState;
constexpr auto EAX = tRegister::EAX;
constexpr auto EBX = tRegister::EBX;
constexpr auto ECX = tRegister::ECX;
constexpr auto EDX = tRegister::EDX;

// Leaves with more than one sub-leaf; every other leaf is executed with sub-leaf 0 only.
constexpr std::array<tLeafRule, 19> kLeafRules{{
    {kLeafCacheParameters, T, EAX, 0, 4, 0, 16},  // cache type
    {kLeafStructuredFeatures, C, EAX, 0, 0, 0, 8},
    {kLeafExtendedTopology, T, ECX, 8, 15, 0, 8},    // level type
    {kLeafXsaveState, X, EAX, 0, 0, 0, 64},          // state components
    {kLeafResourceMonitoring, B, EDX, 0, 0, 0, 32},  // monitored resources
    {kLeafResourceAllocation, B, EBX, 0, 0, 0, 32},  // allocatable resources
    {kLeafSgx, T, EAX, 0, 3, 2, 34},                 // 0 and 1, then EPC sections until type 0
    {kLeafProcessorTrace, C, EAX, 0, 0, 0, 8},
    {kLeafSocVendor, C, EAX, 0, 0, 0, 8},
    {kLeafAddressTranslation, C, EAX, 0, 0, 0, 32},
    {kLeafPconfig, T, EAX, 0, 11, 0, 8},  // sub-leaf type
    {kLeafTilePalettes, C, EAX, 0, 0, 0, 8},
    {kLeafExtendedTopologyV2, T, ECX, 8, 15, 0, 8},  // level type
    {kLeafHistoryReset, C, EAX, 0, 0, 0, 8},
    {kLeafPerfMonitoringExt, B, EAX, 0, 0, 0, 32},
    {kLeafConvergedVector, C, EAX, 0, 0, 0, 8},
    {kLeafCacheTopology, T, EAX, 0, 4, 0, 16},  // cache type
    {kLeafPlatformQos, B, EBX, 0, 0, 0, 32},
    {kLeafExtendedTopologyAmd, T, ECX, 8, 15, 0, 8},  // level type
}};
}  // namespace subleaf_rows

using subleaf_rows::kLeafRules;

std::uint32_t RegisterOf(const tCPUIDResult& r, tRegister which);

// The rule of `leaf`; nullptr for a leaf of sub-leaf 0 only.
const tLeafRule* RuleOf(std::uint32_t leaf);

// The sub-leaves of `leaf` that its rule names and the store holds, in ascending order; a
// Terminated leaf's closing sub-leaf (type 0) is not among them, since it describes nothing.
std::vector<std::uint32_t> DescribedSubLeaves(const tCpuidStore& store, std::uint32_t leaf);
