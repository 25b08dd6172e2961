#include "engine/decode/X86Level.h"

#include <array>
#include <optional>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

// One feature a level asks for: the register that reports it and the bit's short name in the
// feature table.
struct tLevelFeature {
  std::size_t Register;
  std::string_view Name;
};

struct tLevelRow {
  tX86Level Level;
  std::uint64_t State;                    // the XCR0 bits the level's registers need enabled
  std::array<tLevelFeature, 9> Features;  // empty names end a short list
};

// The lists of the x86-64 psABI. The baseline's SYSCALL is left to long mode, which brings
// it (Intel reports the bit only to 64-bit code, so a listing taken in 32-bit mode lacks
// it), and its OSFXSR is the system's own setting, which CPUID does not tell.
constexpr std::array<tLevelRow, 4> kLevels{{
    {1,
     0,
     {{{kExt1Edx, "lm"},
       {kLeaf1Edx, "cmov"},
       {kLeaf1Edx, "cx8"},
       {kLeaf1Edx, "fpu"},
       {kLeaf1Edx, "fxsr"},
       {kLeaf1Edx, "mmx"},
       {kLeaf1Edx, "sse"},
       {kLeaf1Edx, "sse2"}}}},
    {2,
     0,
     {{{kLeaf1Ecx, "cx16"},
       {kExt1Ecx, "lahf_lm"},
       {kLeaf1Ecx, "popcnt"},
       {kLeaf1Ecx, "pni"},
       {kLeaf1Ecx, "sse4_1"},
       {kLeaf1Ecx, "sse4_2"},
       {kLeaf1Ecx, "ssse3"}}}},
    {3,
     kAvxState,
     {{{kLeaf1Ecx, "avx"},
       {kLeaf7Ebx, "avx2"},
       {kLeaf7Ebx, "bmi1"},
       {kLeaf7Ebx, "bmi2"},
       {kLeaf1Ecx, "f16c"},
       {kLeaf1Ecx, "fma"},
       {kExt1Ecx, "abm"},  // LZCNT
       {kLeaf1Ecx, "movbe"},
       {kLeaf1Ecx, "osxsave"}}}},
    {4,
     kAvx512State,
     {{{kLeaf7Ebx, "avx512f"},
       {kLeaf7Ebx, "avx512bw"},
       {kLeaf7Ebx, "avx512cd"},
       {kLeaf7Ebx, "avx512dq"},
       {kLeaf7Ebx, "avx512vl"}}}},
}};

// The bit of `reg` that the feature table names `name`.
std::optional<unsigned> BitNamed(std::size_t reg, std::string_view name) {
  const auto& bits = kFeatureRegisters[reg].Bits;
  for (unsigned bit = 0; bit < bits.size(); ++bit)
    if (bits[bit].Short == name) return bit;
  return std::nullopt;
}

bool HasAll(const tFeatureWords& words, const tLevelRow& row) {
  for (const tLevelFeature& feature : row.Features) {
    if (feature.Name.empty()) break;
    const std::optional<unsigned> bit = BitNamed(feature.Register, feature.Name);
    if (!bit || !words.Has(feature.Register, *bit)) return false;
  }
  return true;
}

constexpr unsigned kOsXsaveBit = 27;  // leaf 1 ECX
// The save area: the legacy region and the header, then each component's registers.
constexpr std::uint32_t kLegacyAndHeaderBytes = 512 + 64;
constexpr std::uint32_t kYmmUpperBytes = 16 * 16;  // YMM0-15, bits 255..128
constexpr std::uint32_t kOpmaskBytes = 8 * 8;      // k0-k7
constexpr std::uint32_t kZmmUpperBytes = 16 * 32;  // ZMM0-15, bits 511..256
constexpr std::uint32_t kHighZmmBytes = 16 * 64;   // ZMM16-31

// A state group and the least save area that holds it with everything below it: the
// components may be packed, but none overlaps another.
struct tStateGroup {
  std::uint64_t Bits;
  std::uint32_t LeastArea;
};
constexpr std::array<tStateGroup, 2> kStateGroups{{
    {kAvxState, kLegacyAndHeaderBytes + kYmmUpperBytes},
    {kAvx512State,
     kLegacyAndHeaderBytes + kYmmUpperBytes + kOpmaskBytes + kZmmUpperBytes + kHighZmmBytes},
}};

}  // namespace

std::uint64_t EnabledStateOf(const tCpuidStore& store) {
  const tCPUIDResult* features = ReportedLeaf(store, kLeafFeatures);
  if (features == nullptr || GetBit(features->ECX, kOsXsaveBit) == 0) return 0;
  std::uint64_t enabled = 1;  // x87 state, which XCR0 always enables
  const tCPUIDResult* xsave = ReportedLeaf(store, kLeafXsaveState, 0);
  if (xsave == nullptr) return enabled;
  const std::uint64_t supported = (std::uint64_t{xsave->EDX} << 32) | xsave->EAX;
  for (const tStateGroup& group : kStateGroups) {
    if ((supported & group.Bits) == group.Bits && xsave->EBX >= group.LeastArea)
      enabled |= group.Bits;
  }
  return enabled;
}

tX86Level X86LevelOf(const tFeatureWords& words, std::uint64_t xcr0) {
  tX86Level level = 0;
  for (const tLevelRow& row : kLevels) {
    if (!HasAll(words, row) || (xcr0 & row.State) != row.State) break;
    level = row.Level;
  }
  return level;
}

tX86Level X86LevelOf(const tCpuidStore& store) {
  return X86LevelOf(FeatureWordsOf(store), EnabledStateOf(store));
}

std::string_view X86LevelName(tX86Level level) {
  constexpr std::array<std::string_view, 5> kNames{"", "x86-64-v1", "x86-64-v2", "x86-64-v3",
                                                   "x86-64-v4"};
  return level >= 0 && level < static_cast<int>(kNames.size()) ? kNames[level] : "";
}
