// The recorded AMD processors, named from their dumps. Each expectation is worked out from the
// registers of the file: family, model and stepping from leaf 1 EAX (bits 11..8, 7..4, 3..0;
// extended family 27..20), the level-2 size from 0x80000006 ECX bits 31..16 (read only when
// the maximum standard leaf is below 2), PowerNow from 0x80000007 EDX bits 1 and 2 together,
// MP from 0x80000001 EDX bit 19, the extended brand ID from 0x80000001 EBX bits 11..0 (group
// 11..8, sub-index 7..6, NN 7..0), the extended model from 0x80000001 EAX bits 19..16 and the
// cores from 0x80000008 ECX bits 7..0 plus 1. Replay measures no clocks, so no rating is
// looked up.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "tests/support/EngineFixtures.h"

namespace {

struct tFixtureCase {
  std::string_view File;
  std::string_view CodeName, CpuName, Rating;
  std::uint16_t LogoKey;
  std::string_view Platform, TechProcess, TranQuantity, DieSize;
  std::uint8_t MultiplierMethod;
  std::uint8_t BusFactor;
  std::uint8_t BrandID;
  std::uint8_t PowerNow;
  std::uint8_t CoolnQuiet;  // PowerNow of the 64-bit line, moved
  std::uint8_t L2Present;
};

constexpr tFixtureCase kCases[] = {
    // 00000501: family 5, model 0: the first K5 row, socket 5 over the family's socket 7, no
    // level-2 cache.
    {"amd-k5-pr100.txt", "SSA5", "AMD K5(tm) Processor", "", 120, "Socket 5", "CMOS 0,80\xB5m",
     "4.3M", "251 sqr. mm", 0, 0, 0, 0, 0, 0},
    // 00000524: family 5, model 2: "5k86", the family's socket 7, no level-2 cache.
    {"amd-k5-pr166.txt", "5k86", "AMD K5(tm) Processor", "", 120, "Socket 7", "CMOS 0,35\xB5m",
     "4.3M", "181 sqr. mm", 0, 0, 0, 0, 0, 0},
    // 00000570: family 5, model 7.
    {"amd-k6-little-foot.txt", "Little Foot", "AMD K6(tm) Processor", "", 125, "Socket 7",
     "CMOS 0,25\xB5m", "8.8M", "68 sqr. mm", 0, 0, 0, 0, 0, 1},
    // 00000591: family 5, model 9.
    {"amd-k6-iii-sharptooth.txt", "Sharptooth", "AMD K6(tm)-III Processor", "", 135, "Socket 7",
     "CMOS 0,25\xB5m", "21.3M", "118 sqr. mm", 0, 0, 0, 0, 0, 1},
    // 000005D4: family 5, model 13; 0x80000006 ECX 00804220: 128 KB, the K6-2+ row (code name,
    // transistors and die emptied). 0x80000007 EDX 00000007: PowerNow, which family 5 keeps.
    {"amd-00005d4-k62plus.txt", "", "AMD K6(tm)-2+ Processor", "", 140, "Socket 7",
     "CMOS 0,18\xB5m", "", "", 0, 0, 0, 1, 0, 1},
    // 00000630: family 6, model 3, plain row. Clock hints 1 and 2 for family 6.
    {"amd-duron-spitfire.txt", "Spitfire", "AMD Duron(tm) Processor", "", 155, "Socket A",
     "CMOS Al 0,18\xB5m", "25M", "100 sqr. mm", 1, 2, 0, 0, 0, 1},
    // 00000670: family 6, model 7; 0x80000007 EDX 00000001: no PowerNow, the plain Morgan row.
    {"amd-0000670-k7-morgan.txt", "Morgan", "AMD Duron(tm) Processor", "", 155, "Socket A",
     "CMOS Cu 0,18\xB5m", "25M", "105.7 sqr. mm", 1, 2, 0, 0, 0, 1},
    // 00000681: family 6, model 8, stepping 1; 0x80000006 ECX 00408140: 64 KB, the Applebred
    // row (no variant, no rating).
    {"amd-duron-processor-applebred.txt", "Applebred", "AMD Duron(tm) Processor", "", 155,
     "Socket A", "CMOS Cu 0,13\xB5m", "37.6M", "80.9 sqr. mm", 1, 2, 0, 0, 0, 1},
    // 00000F5A: family 15, model 5, extended family and model 0; 0x80000001 EBX 00000405:
    // group 4, NN 5, "DP 2" then 2 * 5 + 38 = 48; model 5 <= 7: SledgeHammer. 0x80000007 EDX
    // 0000000F: PowerNow, moved to Cool'n'Quiet.
    {"amd-opteron-processor-248.txt", "SledgeHammer", "AMD Opteron(tm) DP 248 Processor", "", 190,
     "Socket 940", "CMOS Cu 0,13\xB5m SOI", "105.9M", "193 sqr. mm", 2, 0, 4, 0, 1, 1},
    // 00020FC2: family 15, model 12; EBX 00000108: group 1, NN 8, rating 8 + 22 = 30 "3000+";
    // ext 2, ECX 02008140: 512 KB, one core (0x80000008 ECX 0): Venice, socket 939.
    // EDX 0000003F: PowerNow.
    {"amd-athlon-64-processor-3000plus.txt", "Venice (rev. E3)", "AMD Athlon(tm) 64 Processor",
     "3000+", 195, "Socket 939", "CMOS Cu 0,09\xB5m DSL SOI", "", "84 sqr. mm", 2, 0, 1, 0, 1, 1},
    // 00020F42: family 15, model 4; EBX 0000028C: group 2, NN 140, sub-index 2 (nothing more),
    // rating 140 + 22 = 162 "16200+". EDX 0000003F: PowerNow.
    {"amd-turion-64-mobile-technology-ml-34.txt", "", "AMD Athlon(tm) 64 Mobile Processor",
     "16200+", 230, "Socket 754", "CMOS Cu 0,13\xB5m SOI", "", "", 2, 0, 2, 0, 1, 1},
    // 00020F32: family 15, model 3; EBX 00000B04: group 11, which names nothing. Two cores
    // (ECX 00000001) but no group-1 row, so one level-2 unit. EDX 0000000F: PowerNow.
    {"dual-core-amd-opteron-processor-165.txt", "", "", "", 0, "", "", "", "", 2, 0, 11, 0, 1, 1},
    // 00040F12: family 15, model 1; EBX 00000995: group 9, NN 149, FX- then 149 + 24 = 173;
    // ext 4 > 0: San Diego, socket 939 over 940, transistors not assigned. EDX 0000003F.
    {"dual-core-amd-opteron-processor-8220-se-octo.txt", "San Diego (rev. E4)",
     "AMD Athlon(tm) 64 FX-173 Processor", "", 215, "Socket 939", "CMOS Cu 0,09\xB5m DSL SOI", "",
     "115 sqr. mm", 2, 0, 9, 0, 1, 1},
    // 00040FC2: family 15, model 12; EBX 000006C9: group 6, which names nothing. EDX 0000003F.
    {"mobile-amd-sempron-processor-3500plus.txt", "", "", "", 0, "", "", "", "", 2, 0, 6, 0, 1, 1},
    // 00060FB2: family 15, model 11; EBX 000008DB: group 8, sub-index 3 (0xDB bits 7..6);
    // ext 6 > 0: Sonora. Two cores, but group 8 keeps one level-2 unit. EDX 0000007F.
    {"amd-athlon-64-x2-dual-core-processor-5200plus.txt", "Sonora",
     "AMD Sempron Mobile Low Voltage Processor", "", 225, "Socket 745", "CMOS Cu 0,09\xB5m SOI", "",
     "", 2, 0, 8, 0, 1, 1},
    // 00070FF1: family 15, model 15; EBX 00004897: group 8, sub-index 2 (0x97 bits 7..6);
    // ext 7 > 0: Palermo. EDX 0000007F: PowerNow.
    {"amd-0070ff1-k8-lima.txt", "Palermo", "AMD Sempron(tm) Processor", "", 205, "Socket 745",
     "CMOS Cu 0,09\xB5m SOI", "", "84 sqr. mm", 2, 0, 8, 0, 1, 1},
    // 00600F12: family 15, extended family 6: past the AMD table, which writes nothing and
    // sets no clock hints; leaf-1 EBX 00080800 keeps brand ID 0, EDX 000003D9: no PowerNow.
    // The code-name table: 15h/01h Zambezi (libcpuid's "FX (Zambezi)"), the FX line of the
    // brand, Socket AM3+, GlobalFoundries 32 nm SOI, 1.2 billion transistors on 315 mm²;
    // the multiplier from the COFVID status of family 15h (method 10).
    {"amd-fx-8150-eight-core-processor.txt", "Zambezi", "AMD FX", "", 0, "Socket AM3+",
     "GF 32 nm SOI", "1200M", "315 sqr. mm", 10, 0, 0, 0, 0, 1},
    // 00870F10: family 15, extended family 8: as above; leaf-1 EBX 00100800: brand ID 0.
    // 17h/71h Matisse (libcpuid's "Ryzen 7 (Matisse)"), the Ryzen 7 line, Socket AM4, 7 nm
    // cores beside a 12 nm I/O die; the multiplier from the current P-state (method 13).
    {"amd-ryzen-7-3700x-8-core-processor.txt", "Matisse", "AMD Ryzen 7", "", 235, "Socket AM4",
     "TSMC N7 + GF 12 nm I/O", "", "", 13, 0, 0, 0, 0, 1},
};

TEST(FixtureNamesAMD, NameRecordOfEveryRecordedProcessor) {
  for (const tFixtureCase& c : kCases) {
    SCOPED_TRACE(c.File);
    const auto e = IdentifiedFixture(c.File);
    ASSERT_EQ(e->FlagBrand[0], tVendor::amd);
    ExpectName(e->nameinfo[0], {c.CodeName, c.CpuName, c.Rating, c.LogoKey, c.Platform,
                                c.TechProcess, c.TranQuantity, c.DieSize});
    EXPECT_EQ(e->level2[0].UnitCount, 1);
    EXPECT_EQ(e->level2[0].Present, c.L2Present);
    EXPECT_EQ(e->MultiplierMethod[0], c.MultiplierMethod);
    EXPECT_EQ(e->Clocks[0].BusFactor, c.BusFactor);
    EXPECT_EQ(e->CPUid_m[0].BrandID, c.BrandID);
    EXPECT_EQ(e->CPUfeatures[0].CoolnQuiet, c.CoolnQuiet);
    EXPECT_EQ(e->CPUfeatures[0].PowerNow, c.PowerNow);
  }
}

// A new AMD dump needs its own row above.
TEST(FixtureNamesAMD, EveryAmdDumpHasARow) {
  std::set<std::string_view> listed;
  for (const tFixtureCase& c : kCases)
    listed.insert(c.File);
  for (const std::string& file : FixtureNames()) {
    const bool amd = file.starts_with("amd-") || file.starts_with("dual-core-amd-") ||
                     file.starts_with("mobile-amd-");
    if (amd) {
      EXPECT_TRUE(listed.contains(file)) << file;
    }
  }
}

}  // namespace
