// The feature registers the program names bit by bit: leaf 1 EDX and ECX, leaf 7 (sub-leaf 0
// EBX, ECX, EDX; sub-leaf 1 EAX, EDX; sub-leaf 2 EDX), leaf 0xD sub-leaf 1 EAX, 0x80000001 EDX
// and ECX, 0x80000007 EDX, 0x80000008 EBX and 0x80000021 EAX. Each bit has a short name (the
// spelling of the Linux /proc/cpuinfo flags where there is one; empty for a bit that is
// reserved or part of a value) and the caption the Feature Flags page shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/store/CpuidStore.h"
#include "engine/store/MyUtils.h"

struct tFlagName {
  std::string_view Short;
  std::string_view Caption;
};

struct tFeatureRegister {
  std::uint32_t Leaf;
  std::uint32_t SubLeaf;
  std::uint32_t tCPUIDResult::*Register;
  std::string_view Title;  // leaf, sub-leaf where it has more, and register: "7.0 EBX"
  std::array<tFlagName, 32> Bits;
};

inline constexpr std::size_t kFeatureRegisterCount = 14;

// In the order of the feature list: leaf, then the legacy order of the registers (EDX before
// ECX), then bit.
extern const std::array<tFeatureRegister, kFeatureRegisterCount> kFeatureRegisters;

// Indexes into kFeatureRegisters.
enum tFeatureRegisterIndex : std::size_t {
  kLeaf1Edx,
  kLeaf1Ecx,
  kLeaf7Ebx,
  kLeaf7Ecx,
  kLeaf7Edx,
  kLeaf7Sub1Eax,
  kLeaf7Sub1Edx,
  kLeaf7Sub2Edx,
  kXsaveSub1Eax,
  kExt1Edx,
  kExt1Ecx,
  kPowerEdx,
  kExt8Ebx,
  kExt21Eax,
};

// The value of each feature register, and whether the processor reports it (its leaf and
// sub-leaf in range and captured; a register not reported reads 0).
struct tFeatureWords {
  std::array<std::uint32_t, kFeatureRegisterCount> Value{};
  std::array<bool, kFeatureRegisterCount> Reported{};

  bool Has(std::size_t reg, unsigned bit) const { return GetBit(Value[reg], bit) != 0; }

  friend bool operator==(const tFeatureWords&, const tFeatureWords&) = default;
};

tFeatureWords FeatureWordsOf(const tCpuidStore& store);

// The short names of the set bits, in register then bit order; a name that an earlier set
// bit already gave (AMD repeats leaf-1 bits in 0x80000001) comes once.
std::vector<std::string_view> FeatureNames(const tFeatureWords& words);
