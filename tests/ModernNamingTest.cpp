// Naming of today's processors: the brand cleaning and pattern rules, the choice of the most
// specific row, the marketing lines, which processors the table speaks for, the kinds of
// core, and how its record meets the vendor tables' record. One test per rule; the expected
// names come from the vendors' product data and public CPUID collections quoted beside them.
#include "engine/naming/ModernNaming.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/EngineFixtures.h"

namespace {

// The answers a processor gives for its vendor, leaf-1 EAX and brand (NUL padded to 48).
tCpuidStore Store(std::string_view vendor, std::uint32_t eax, std::string_view brand = {}) {
  tCpuidStore store;
  store.Put(0, 0, {0x20, PackText(vendor, 0), PackText(vendor, 8), PackText(vendor, 4)});
  store.Put(1, 0, {eax, 0, 0, 0});
  store.Put(0x80000000, 0, {0x80000008, 0, 0, 0});
  for (std::uint32_t k = 0; k < 3; ++k) {
    const std::size_t at = 16 * k;
    store.Put(0x80000002 + k, 0,
              {PackText(brand, at), PackText(brand, at + 4), PackText(brand, at + 8),
               PackText(brand, at + 12)});
  }
  return store;
}

TEST(ModernNaming, CleanBrandDropsMarksAndHighBytesAndFoldsSpace) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Intel(R) Core(TM) i7-4500U CPU @ 1.80GHz", "Intel Core i7-4500U CPU @ 1.80GHz"},
      {"  Intel(R) Xeon(R) CPU           E5462  @ 2.80GHz", "Intel Xeon CPU E5462 @ 2.80GHz"},
      {"AMD Phenom(tm) II X4 940 Processor", "AMD Phenom II X4 940 Processor"},
      {"13th Gen Intel(R) Core\x99 i7-1370P\t", "13th Gen Intel Core i7-1370P"},
      {std::string_view("AMD Ryzen 7\0\0\0", 14), "AMD Ryzen 7"},
      {"", ""},
  };
  for (const auto& [raw, clean] : cases)
    EXPECT_EQ(CleanBrand(raw), clean) << raw;
}

TEST(ModernNaming, BrandPatternsMatchDigitsClassesAndLiteralsAnywhere) {
  struct tCase {
    std::string_view Brand, Pattern;
    bool Matches;
    std::string_view Digits;
  } const cases[] = {
      {"Intel Core i9-13900H", "-13###H", true, "900"},
      {"Intel Core i9-13900K", "-13###H", false, ""},
      {"Intel Xeon CPU L5320 @ 1.86GHz", "Xeon CPU [EXL]53##", true, "20"},
      {"Intel Xeon CPU W5320", "Xeon CPU [EXL]53##", false, ""},
      {"AMD Ryzen 7 8845HS", " 8#4#[HU]", true, "85"},
      {"AMD Ryzen 7 8700G", " 8#4#[HU]", false, ""},
      {"Hygon C86 3185", "", true, ""},
      {"Intel Core i7", "Core i7-", false, ""},  // the pattern runs past the brand's end
      {"Intel Core i7", "Core [i7", false, ""},  // a class never closed matches nothing
  };
  for (const tCase& c : cases) {
    std::string digits = "unchanged";
    EXPECT_EQ(BrandMatches(c.Brand, c.Pattern, &digits), c.Matches) << c.Pattern;
    if (c.Matches) {
      EXPECT_EQ(digits, c.Digits) << c.Pattern;
    }
  }
}

TEST(ModernNaming, MostSpecificRowWinsAndTiesGoToTheEarlierRow) {
  auto row = [](tCodeNameKeys keys, const char* name) {
    return tCodeNameRow{keys, {name}, {}, tRatioRegisters::None, "test"};
  };
  const tCodeNameRow rows[] = {
      row({tMaker::Amd, 0x19, 0x00, 0x0F}, "range"),
      row({tMaker::Amd, 0x19, 0x01, 0x01}, "model"),
      row({tMaker::Amd, 0x19, 0x01, 0x01, 0, 0xFF, "EPYC"}, "brand"),
      row({tMaker::Amd, 0x19, 0x01, 0x01, 0, 0xFF, "7763"}, "later brand"),
      row({tMaker::Amd, 0x19, 0x00, 0x0F, 2, 2}, "stepping"),
      row({tMaker::Intel, 0x19, 0x01, 0x01}, "other maker"),
  };
  struct tCase {
    std::uint32_t Model, Stepping;
    std::string_view Brand, Expected;
  } const cases[] = {
      {0x05, 0, "AMD Ryzen", "range"},
      {0x01, 0, "AMD Ryzen", "model"},         // narrower range beats the wider one
      {0x01, 1, "AMD EPYC 7763", "brand"},     // brand beats range; equal terms: earlier row
      {0x01, 2, "AMD EPYC 7763", "stepping"},  // stepping beats brand
      {0x10, 0, "AMD EPYC", ""},               // no row
  };
  for (const tCase& c : cases) {
    const tCodeNameRow* chosen =
        MostSpecificRow(rows, tMaker::Amd, {0x19, c.Model, c.Stepping}, {std::string(c.Brand)});
    EXPECT_EQ(chosen ? std::string_view(chosen->Facts.CodeName) : "", c.Expected) << c.Model;
  }
}

TEST(ModernNaming, MarketingLineIsTheFirstTheBrandNamesWithItsDigits) {
  const tMarketingLine lines[] = {
      {tMaker::Amd, "Threadripper", "AMD Threadripper", 240},
      {tMaker::Amd, "Ryzen AI #", "AMD Ryzen AI #", 235},
      {tMaker::Amd, "Ryzen #", "AMD Ryzen #", 235},
      {tMaker::Intel, "Xeon", "Intel Xeon", 500, true},
      {tMaker::Intel, "Xeon", "Intel Xeon", 530},
  };
  using tResult = std::pair<std::string, std::uint16_t>;
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Amd, 0x17, "AMD Ryzen Threadripper 1950X"),
            tResult("AMD Threadripper", 240));
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Amd, 0x1A, "AMD Ryzen AI 9 HX 370"),
            tResult("AMD Ryzen AI 9", 235));
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Amd, 0x19, "AMD Ryzen 7 5800X3D"),
            tResult("AMD Ryzen 7", 235));
  // Family-15 Xeons take the NetBurst line, later ones the line of today.
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Intel, 15, "Intel Xeon CPU 3.20GHz"),
            tResult("Intel Xeon", 500));
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Intel, 6, "Intel Xeon Gold 5218"),
            tResult("Intel Xeon", 530));
  EXPECT_EQ(MarketingLineOf(lines, tMaker::Amd, 0x19, "AMD EPYC 7763"), std::nullopt);
}

// Which processors the table speaks for, and what it says where no row names the model.
TEST(ModernNaming, CoversTheGenerationsAfterTheVendorTablesOnly) {
  struct tCase {
    const char* Label;
    tCpuidStore Cpu;
    bool Covered;
    std::string_view CodeName, Microarchitecture;
  } const cases[] = {
      // The vendor tables' generations: Yonah (6/0xE), the 64-bit AMD line, a VIA C7.
      {"Yonah", Store("GenuineIntel", 0x6E8, "Genuine Intel(R) CPU T2400"), false, "", ""},
      {"Athlon 64", Store("AuthenticAMD", 0x20FB1, "AMD Athlon(tm) 64"), false, "", ""},
      {"VIA C7", Store("CentaurHauls", 0x6A9, "VIA Esther"), false, "", ""},
      {"unknown vendor", Store("Vortex86 SoC", 0xA0652), false, "", ""},
      // Later models without a row: the family/model range gives the micro-architecture
      // (AMD's Zen 6 range 1Ah/50h-5Fh) or nothing (Intel 6/0xFF); never a code name.
      {"Zen 6 range", Store("AuthenticAMD", 0xB50F00, "AMD Eng Sample"), true, "", "Zen 6"},
      {"Intel model without row", Store("GenuineIntel", 0xF06F0), true, "", ""},
      // Hygon and Zhaoxin vendor strings, which no vendor table knows.
      {"Hygon", Store("HygonGenuine", 0x900F02, "Hygon C86 3185  8-core Processor"), true, "Dhyana",
       "Zen"},
      {"Zhaoxin", Store("  Shanghai  ", 0x307B1, "ZHAOXIN KaiXian KX-U6780A@2.7GHz"), true,
       "LuJiaZui", "LuJiaZui"},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tModernName modern = ModernNameOf(c.Cpu);
    EXPECT_EQ(modern.Covered, c.Covered);
    EXPECT_EQ(modern.CodeName(), c.CodeName);
    EXPECT_EQ(modern.Microarchitecture(), c.Microarchitecture);
  }
}

// A virtual processor is named by its signature like any other: the "Turin-like" guest of
// the project's test machine (1Ah/02h) and this machine's guest as it reports itself now
// (leaf-1 EAX 0x00A10F11, brand "AMD EPYC", per `cpuid -1`: 19h/11h, Genoa).
TEST(ModernNaming, VirtualProcessorsAreNamedBySignature) {
  const tModernName turin =
      ModernNameOf(Store("AuthenticAMD", 0xB00F21, "Oxide Virtual Turin-like Processor"));
  EXPECT_EQ(turin.CodeName(), "Turin");
  EXPECT_EQ(turin.Microarchitecture(), "Zen 5");
  EXPECT_EQ(turin.CpuName, "");

  const tModernName genoa = ModernNameOf(Store("AuthenticAMD", 0xA10F11, "AMD EPYC"));
  EXPECT_EQ(genoa.CodeName(), "Genoa");
  EXPECT_EQ(genoa.Microarchitecture(), "Zen 4");
  EXPECT_EQ(genoa.CpuName, "AMD EPYC");
}

// Parts with two kinds of core: each logical processor gets the micro-architecture of its
// kind (leaf 0x1A on Intel, 0x80000026 on AMD), both where it does not say.
TEST(ModernNaming, HybridPartsNameTheKindOfCore) {
  const std::uint32_t kIntelCore = 0x40u << 24, kIntelAtom = 0x20u << 24;
  tCpuidStore alderLake = Store("GenuineIntel", 0x90672, "12th Gen Intel(R) Core(TM) i9-12900K");
  EXPECT_EQ(ModernNameOf(alderLake).Microarchitecture(), "Golden Cove + Gracemont");
  alderLake.Put(0x1A, 0, {kIntelCore, 0, 0, 0});
  EXPECT_EQ(ModernNameOf(alderLake).Microarchitecture(), "Golden Cove");
  alderLake.Put(0x1A, 0, {kIntelAtom, 0, 0, 0});
  EXPECT_EQ(ModernNameOf(alderLake).Microarchitecture(), "Gracemont");

  tCpuidStore strix = Store("AuthenticAMD", 0xB20F40, "AMD Ryzen AI 9 HX 370 w/ Radeon 890M");
  strix.Put(0x80000000, 0, {0x80000026, 0, 0, 0});
  strix.Put(0x80000026, 0, {1u << 30, 1u << 28, 0, 0});  // heterogeneous, efficiency core
  EXPECT_EQ(ModernNameOf(strix).Microarchitecture(), "Zen 5c");
  // A part with one kind of core names it whatever the leaves say.
  tCpuidStore sierra = Store("GenuineIntel", 0xA06F3, "Intel(R) Xeon(R) 6780E");
  EXPECT_EQ(ModernNameOf(sierra).Microarchitecture(), "Crestmont");
}

// The name record: the table fills what it knows, the vendor tables' own code names stand.
TEST(ModernNaming, NameRecordTakesTheTableWhereTheVendorTableNamedNothing) {
  const auto e = Identified({
      // Ryzen 7 3700X: leaf 1 EAX 0x870F10 (17h/71h) -> Matisse; AM4; Ryzen line.
      tRawCpu::Amd(15, 1, 0).ExtendedFamilyModel(8, 7).Brand("AMD Ryzen 7 3700X 8-Core Processor"),
      // Xeon MP on 0xF48 with brand ID 0x0C, L3 and 64-bit: the Intel table names it
      // Potomac, which stands although the code-name table says Paxville for 0xF48.
      tRawCpu::Intel(15, 4, 8).BrandId(0x0C).IntelCaches(1024, true).ExtEdxBit(29),
  });
  const tnameinfo& matisse = e->nameinfo[0];
  EXPECT_EQ(matisse.CodeName.View(), "Matisse");
  EXPECT_EQ(matisse.CpuName.View(), "AMD Ryzen 7");
  EXPECT_EQ(matisse.LogoKey, kLogoRyzen);
  EXPECT_EQ(matisse.Platform.View(), "Socket AM4");
  EXPECT_EQ(e->ModernNames[0].Segment(), "desktop");
  EXPECT_EQ(e->nameinfo[1].CodeName.View(), "Potomac");

  // A second identification gives the same record.
  const tnameinfo first = e->nameinfo[0];
  e->Identify();
  EXPECT_EQ(e->nameinfo[0].CodeName.View(), first.CodeName.View());
  EXPECT_EQ(e->nameinfo[0].CpuName.View(), first.CpuName.View());
}

// The table itself: every row has a source and ordered ranges, every pattern closes its
// classes, no two rows have the same keys (one of them could never be chosen), and every
// row names at least a micro-architecture.
TEST(ModernNaming, TableRowsAreWellFormed) {
  std::set<std::string> keys;
  for (const tCodeNameRow& row : CodeNameRows()) {
    const tCodeNameKeys& k = row.Keys;
    const std::string brand = k.Brand ? k.Brand : "";
    SCOPED_TRACE(std::to_string(k.Family) + "/" + std::to_string(k.ModelFirst) + " " + brand);
    ASSERT_NE(row.Source, nullptr);
    EXPECT_FALSE(std::string_view(row.Source).empty());
    EXPECT_LE(k.ModelFirst, k.ModelLast);
    EXPECT_LE(k.SteppingFirst, k.SteppingLast);
    EXPECT_EQ(std::count(brand.begin(), brand.end(), '['),
              std::count(brand.begin(), brand.end(), ']'));
    EXPECT_TRUE(row.Facts.Microarchitecture || row.Facts.EfficiencyMicroarchitecture);
    EXPECT_TRUE(keys.insert(DescribeKeys(k)).second);
  }
}

}  // namespace
