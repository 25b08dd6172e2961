// The x86-64 level from the psABI's feature lists, with AVX and AVX-512 counted only where the
// system enabled their state. The bits are those of the vendors' manuals (Intel SDM vol. 2A,
// CPUID; AMD APM vol. 3, appendix E); the save-area sizes those of SDM vol. 1, 13.4.
#include "engine/decode/X86Level.h"

#include <gtest/gtest.h>

#include "tests/support/EngineFixtures.h"

namespace {

// Leaf 1 EDX: fpu 0, cx8 8, cmov 15, mmx 23, fxsr 24, sse 25, sse2 26.
constexpr std::uint32_t kBaseEdx = 0x07808101;
constexpr std::uint32_t kLongMode = 1u << 29;  // 0x80000001 EDX
// Leaf 1 ECX: pni 0, ssse3 9, cx16 13, sse4_1 19, sse4_2 20, popcnt 23.
constexpr std::uint32_t kV2Ecx = 0x00982201;
constexpr std::uint32_t kLahf = 1u << 0;  // 0x80000001 ECX
// Leaf 1 ECX: fma 12, movbe 22, osxsave 27, avx 28, f16c 29.
constexpr std::uint32_t kV3Ecx = 0x38401000;
constexpr std::uint32_t kOsXsave = 1u << 27;
constexpr std::uint32_t kV3Ebx7 = 0x00000128;  // bmi1 3, avx2 5, bmi2 8
constexpr std::uint32_t kLzcnt = 1u << 5;      // 0x80000001 ECX, abm
// Leaf 7 EBX: avx512f 16, avx512dq 17, avx512cd 28, avx512bw 30, avx512vl 31.
constexpr std::uint32_t kV4Ebx7 = 0xD0030000;
constexpr std::uint32_t kAvx512Vl = 1u << 31;

struct tLevelCase {
  const char* Name;
  std::uint32_t MaxLeaf;
  std::uint32_t Ecx1, Edx1;
  std::uint32_t Ebx7;
  std::uint32_t ExtEcx, ExtEdx;
  std::uint32_t XsaveEax, XsaveEbx;  // leaf 0xD sub-leaf 0: supported state, enabled size
  std::string_view Level;
};

constexpr std::uint32_t kAll1 = kV2Ecx | kV3Ecx;
constexpr std::uint32_t kAllExt = kLahf | kLzcnt;

const tLevelCase kCases[] = {
    {"the baseline", 1, 0, kBaseEdx, 0, 0, kLongMode, 0, 0, "x86-64-v1"},
    {"no long mode: a 32-bit processor", 1, kV2Ecx, kBaseEdx, 0, kLahf, 0, 0, 0, ""},
    {"no SSE2", 1, 0, kBaseEdx & ~(1u << 26), 0, 0, kLongMode, 0, 0, ""},
    {"v2 without LAHF/SAHF (early K8, Nocona)", 1, kV2Ecx, kBaseEdx, 0, 0, kLongMode, 0, 0,
     "x86-64-v1"},
    {"v2", 1, kV2Ecx, kBaseEdx, 0, kLahf, kLongMode, 0, 0, "x86-64-v2"},
    // 576 bytes of legacy region and header, 256 of YMM upper halves.
    {"v3, YMM enabled", 0xD, kAll1, kBaseEdx, kV3Ebx7, kAllExt, kLongMode, 0x7, 832, "x86-64-v3"},
    {"v3 without LZCNT", 0xD, kAll1, kBaseEdx, kV3Ebx7, kLahf, kLongMode, 0x7, 832, "x86-64-v2"},
    {"v3, no OSXSAVE", 0xD, kAll1 & ~kOsXsave, kBaseEdx, kV3Ebx7, kAllExt, kLongMode, 0x7, 576,
     "x86-64-v2"},
    {"v3, the system enabled SSE state only", 0xD, kAll1, kBaseEdx, kV3Ebx7, kAllExt, kLongMode,
     0x7, 576, "x86-64-v2"},
    {"v3, no leaf 0xD in range", 0x7, kAll1, kBaseEdx, kV3Ebx7, kAllExt, kLongMode, 0x7, 832,
     "x86-64-v2"},
    // + 64 opmask, 512 ZMM_Hi256, 1024 Hi16_ZMM, packed: 2432 (AMD Zen 4 and 5).
    {"v4, packed save area", 0xD, kAll1, kBaseEdx, kV3Ebx7 | kV4Ebx7, kAllExt, kLongMode, 0xE7,
     2432, "x86-64-v4"},
    // Intel keeps MPX's 128 bytes before the AVX-512 state: 2688, PKRU 8 more.
    {"v4, Intel's save area with PKRU", 0xD, kAll1, kBaseEdx, kV3Ebx7 | kV4Ebx7, kAllExt, kLongMode,
     0x2FF, 2696, "x86-64-v4"},
    {"v4 flags, AVX-512 state not enabled", 0xD, kAll1, kBaseEdx, kV3Ebx7 | kV4Ebx7, kAllExt,
     kLongMode, 0xE7, 832, "x86-64-v3"},
    {"v4 flags, AVX-512 state not supported", 0xD, kAll1, kBaseEdx, kV3Ebx7 | kV4Ebx7, kAllExt,
     kLongMode, 0x7, 2432, "x86-64-v3"},
    {"v4 without AVX512VL (Knights Landing)", 0xD, kAll1, kBaseEdx,
     kV3Ebx7 | (kV4Ebx7 & ~kAvx512Vl), kAllExt, kLongMode, 0xE7, 2688, "x86-64-v3"},
    {"v4 flags without AVX2", 0xD, kAll1, kBaseEdx, kV4Ebx7 | 0x108, kAllExt, kLongMode, 0xE7, 2688,
     "x86-64-v2"},
};

TEST(X86Level, FromThePsAbiListsAndTheEnabledState) {
  for (const tLevelCase& c : kCases) {
    const tCpuidStore store = StoreOf("GenuineIntel", c.MaxLeaf,
                                      {{1, 0, {0x000906EA, 0, c.Ecx1, c.Edx1}},
                                       {7, 0, {0, c.Ebx7, 0, 0}},
                                       {0xD, 0, {c.XsaveEax, c.XsaveEbx, c.XsaveEbx, 0}},
                                       {0x80000000, 0, {0x80000001, 0, 0, 0}},
                                       {0x80000001, 0, {0, 0, c.ExtEcx, c.ExtEdx}}});
    EXPECT_EQ(X86LevelName(X86LevelOf(store)), c.Level) << c.Name;
  }
}

TEST(X86Level, EnabledStateNeedsOsxsave) {
  const auto store = [](std::uint32_t ecx, std::uint32_t eax, std::uint32_t ebx) {
    return StoreOf("AuthenticAMD", 0xD, {{1, 0, {0, 0, ecx, 0}}, {0xD, 0, {eax, ebx, ebx, 0}}});
  };
  EXPECT_EQ(EnabledStateOf(store(0, 0xE7, 2432)), 0u);
  EXPECT_EQ(EnabledStateOf(store(kOsXsave, 0xE7, 2432)), 0xE7u);
  EXPECT_EQ(EnabledStateOf(store(kOsXsave, 0xE7, 2431)), 0x7u) << "one byte short of Hi16_ZMM";
  EXPECT_EQ(EnabledStateOf(store(kOsXsave, 0xE7, 831)), 0x1u);
  EXPECT_EQ(EnabledStateOf(StoreOf("AuthenticAMD", 1, {{1, 0, {0, 0, kOsXsave, 0}}})), 0x1u);
}

TEST(X86Level, Names) {
  EXPECT_EQ(X86LevelName(0), "");
  EXPECT_EQ(X86LevelName(1), "x86-64-v1");
  EXPECT_EQ(X86LevelName(4), "x86-64-v4");
  EXPECT_EQ(X86LevelName(5), "");
  EXPECT_EQ(X86LevelName(-1), "");
}

}  // namespace
