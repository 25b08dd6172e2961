// The recorded processors of vendors other than Intel and AMD, named from their dumps.
// Vendor strings are read from leaf 0 as EBX, EDX, ECX (each least significant byte first),
// family and model from leaf 1 EAX bits 11..8 and 7..4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/EngineFixtures.h"

namespace {

struct tFixtureCase {
  std::string_view File;
  tVendor Vendor;
  std::string_view CodeName, CpuName, Rating;
  std::uint16_t LogoKey;
  std::string_view Platform, TechProcess, TranQuantity, DieSize;
  std::uint8_t UnitCount;
};

// "CentaurHauls" is 746E6543 "Cent", 48727561 "aurH", 736C7561 "auls": Centaur processors
// are not named, so the record stays empty and the unit count 0.
constexpr tFixtureCase kCases[] = {
    // EAX 00000541: family 5, model 4.
    {"centaur-0000541-winchipc6.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 00000587: family 5, model 8.
    {"centaur-0000587-winchip2a.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 00000694: family 6, model 9.
    {"centaur-0000694-c5xl-nehemiah.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 000006A9: family 6, model 10.
    {"via-esther-processor-1500mhz.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 00000689: family 6, model 8.
    {"via-c3-ezra.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 00000660: family 6, model 6.
    {"via-samuel.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // EAX 00000673: family 6, model 7.
    {"via-samuel-2.txt", tVendor::centaur, "", "", "", 0, "", "", "", "", 0},
    // 69727943 "Cyri", 736E4978 "xIns", 64616574 "tead"; EAX 00000530: family 5, model 3, the
    // "any other model" row of family 5. Cyrix leaves the unit count at 0.
    {"cyrix-0000530-6x86.txt", tVendor::cyrix, "M1", "Cyrix 6x86", "", 504, "", "CMOS 0,65\xB5m",
     "3M", "394 sqr. mm", 0},
    // "CyrixInstead"; EAX 00000601: family 6, model 0.
    {"cyrix-0000601-mii.txt", tVendor::cyrix, "M2", "Cyrix 6x86MX", "", 805, "", "CMOS 0,35\xB5m",
     "6.5M", "197 sqr. mm", 0},
    // 646F6547 "Geod", 79622065 "e by", 43534E20 " NSC"; EAX 00000551: family 5, model 5.
    {"nsc-0000551-geode-gx2.txt", tVendor::national, "GX2", "NS Geode GX2 Processor", "", 1001, "",
     "", "", "", 1},
    // 65736952 "Rise" three times; EAX 00000521: family 5, model 2, DieSize emptied.
    {"rise-0000521-mp6.txt", tVendor::rise, "Lynx", "Rise mP6", "", 701, "", "CMOS 0,18\xB5m",
     "3.6M", "", 1},
    // 20536953 "SiS " three times; EAX 00000505: family 5, model 0.
    {"sis-0000505-sis550.txt", tVendor::sis, "x55", "SiS x55 Processor", "", 801, "", "", "", "",
     1},
    // 756E6547 "Genu", 54656E69 "ineT", 3638784D "Mx86"; EAX 00000F24: family 15, model 2,
    // which no Transmeta row lists.
    {"transmeta-0000f24-efficeon.txt", tVendor::transmeta, "", "", "", 0, "", "", "", "", 1},
    // 756E6547 "Genu", 20656E69 "ine ", 43445220 " RDC": "Genuine  RDC" is no known vendor,
    // so the slot keeps intel, and no table names it (EAX 00000586, family 5 model 8, would
    // be an Intel Pentium MMX row).
    {"rdc-0000586-rdc.txt", tVendor::intel, "", "", "", 0, "", "", "", "", 0},
    // 74726F56 "Vort", 36387865 "ex86", 436F5320 " SoC": unknown, intel, not named (EAX
    // 00000611 would be the Intel Pentium Pro row).
    {"vortex86-0000611-vortex86dx3.txt", tVendor::intel, "", "", "", 0, "", "", "", "", 0},
};

TEST(FixtureNamesOtherVendors, NameRecordOfEveryRecordedProcessor) {
  for (const tFixtureCase& c : kCases) {
    SCOPED_TRACE(c.File);
    const auto e = IdentifiedFixture(c.File);
    EXPECT_EQ(e->FlagBrand[0], c.Vendor);
    ExpectName(e->nameinfo[0], {c.CodeName, c.CpuName, c.Rating, c.LogoKey, c.Platform,
                                c.TechProcess, c.TranQuantity, c.DieSize});
    EXPECT_EQ(e->level2[0].UnitCount, c.UnitCount);
  }
}

// A dump added later with another vendor must get a row above.
TEST(FixtureNamesOtherVendors, EveryOtherVendorDumpIsListed) {
  for (const std::string& file : FixtureNames()) {
    const auto e = IdentifiedFixture(file);
    const std::string vendor = e->VendorText(0);
    if (vendor == "GenuineIntel" || vendor == "AuthenticAMD") continue;
    EXPECT_TRUE(std::any_of(std::begin(kCases), std::end(kCases),
                            [&](const tFixtureCase& c) { return c.File == file; }))
        << file << " (" << vendor << ")";
  }
}

}  // namespace
