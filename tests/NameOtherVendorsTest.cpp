// Naming of the UMC, Cyrix, NexGen, Rise, SiS, Transmeta and National processors: which
// family/model selects which row, the level-2 unit count, and what a row leaves or empties
// on a record that already holds text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "tests/support/EngineFixtures.h"

namespace {

struct tSelectionCase {
  std::string_view Vendor;
  unsigned Family;
  unsigned Model;
  std::string_view CodeName;  // empty: no row matches
  std::string_view CpuName;
  std::uint16_t LogoKey;
};

constexpr tSelectionCase kSelectionCases[] = {
    {"UMC UMC UMC ", 4, 1, "U5D", "U80486DX Processor", 401},
    {"UMC UMC UMC ", 4, 2, "U5S", "U80486SX Processor", 401},
    {"UMC UMC UMC ", 5, 1, "", "", 0},
    {"CyrixInstead", 4, 9, "M1sc (0,65)", "Cyrix 5x86", 503},
    {"CyrixInstead", 5, 4, "GXm", "Cyrix MediaGXm", 502},
    {"CyrixInstead", 5, 0, "M1", "Cyrix 6x86", 504},
    {"CyrixInstead", 5, 2, "M1", "Cyrix 6x86", 504},
    {"CyrixInstead", 5, 15, "M1", "Cyrix 6x86", 504},
    {"CyrixInstead", 6, 0, "M2", "Cyrix 6x86MX", 805},
    {"CyrixInstead", 6, 1, "", "", 0},
    {"CyrixInstead", 4, 1, "", "", 0},
    {"NexGenDriven", 5, 6, "HA", "NexGen Nx686", 602},
    {"NexGenDriven", 6, 6, "", "", 0},
    {"RiseRiseRise", 5, 2, "Lynx", "Rise mP6", 701},
    {"RiseRiseRise", 5, 1, "", "", 0},
    {"SiS SiS SiS ", 5, 0, "x55", "SiS x55 Processor", 801},
    {"SiS SiS SiS ", 4, 0, "", "", 0},
    {"GenuineTMx86", 5, 4, "TM3", "Transmeta Crusoe TM3x00", 705},
    {"GenuineTMx86", 6, 4, "", "", 0},
    {"GenuineTMx86", 5, 5, "", "", 0},
    {"Geode by NSC", 5, 5, "GX2", "NS Geode GX2 Processor", 1001},
    {"Geode by NSC", 4, 4, "", "", 0},
};

TEST(NameOtherVendors, FamilyAndModelSelectTheRow) {
  for (const tSelectionCase& c : kSelectionCases) {
    SCOPED_TRACE(testing::Message() << c.Vendor << " family " << c.Family << " model " << c.Model);
    tRawCpu cpu;
    cpu.Vendor(c.Vendor).Signature(c.Family, c.Model, 1);
    const auto e = Identified({cpu});
    const tnameinfo& name = e->nameinfo[0];
    EXPECT_EQ(name.CodeName.View(), c.CodeName);
    EXPECT_EQ(name.CpuName.View(), c.CpuName);
    EXPECT_EQ(name.LogoKey, c.LogoKey);
    EXPECT_TRUE(name.Rating.Empty());
    EXPECT_TRUE(name.Platform.Empty());
    if (c.CodeName.empty()) {
      EXPECT_TRUE(name.TechProcess.Empty());
      EXPECT_TRUE(name.TranQuantity.Empty());
      EXPECT_TRUE(name.DieSize.Empty());
    }
  }
}

// Every routine but the Cyrix one sets the unit count first, whether or not a row matches.
TEST(NameOtherVendors, UnitCountIsOneExceptForCyrix) {
  struct tCase {
    std::string_view Vendor;
    unsigned Family;
    unsigned Model;
    std::uint8_t UnitCount;
  };
  constexpr tCase kCases[] = {
      {"UMC UMC UMC ", 4, 1, 1}, {"UMC UMC UMC ", 9, 9, 1}, {"CyrixInstead", 5, 2, 7},
      {"CyrixInstead", 9, 9, 7}, {"NexGenDriven", 5, 0, 1}, {"RiseRiseRise", 5, 0, 1},
      {"SiS SiS SiS ", 5, 0, 1}, {"GenuineTMx86", 6, 4, 1}, {"Geode by NSC", 5, 4, 1},
  };
  for (const tCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.Vendor << " family " << c.Family << " model " << c.Model);
    tRawCpu cpu;
    cpu.Vendor(c.Vendor).Signature(c.Family, c.Model, 0);
    const auto e = Identified({cpu});
    e->level2[0].UnitCount = 7;
    ASSERT_TRUE(e->NameProcessor(0));
    EXPECT_EQ(e->level2[0].UnitCount, c.UnitCount);
  }
}

// A second naming over a record that already holds text: a row's empty texts clear their
// fields, fields the row does not list keep the earlier text, and Rating and Platform are
// never written.
TEST(NameOtherVendors, SecondNamingEmptiesOrKeepsEarlierFields) {
  constexpr std::string_view kOld = "earlier";
  struct tCase {
    std::string_view Vendor;
    unsigned Family;
    unsigned Model;
    std::string_view CodeName, CpuName;
    std::uint16_t LogoKey;
    std::string_view TechProcess, TranQuantity, DieSize;
  };
  constexpr tCase kCases[] = {
      {"CyrixInstead", 5, 4, "GXm", "Cyrix MediaGXm", 502, "CMOS 0,65\xB5m", "", ""},
      {"CyrixInstead", 5, 3, "M1", "Cyrix 6x86", 504, "CMOS 0,65\xB5m", "3M", "394 sqr. mm"},
      {"CyrixInstead", 4, 0, "M0.5", "Cx80486", 501, kOld, kOld, kOld},
      {"RiseRiseRise", 5, 2, "Lynx", "Rise mP6", 701, "CMOS 0,18\xB5m", "3.6M", ""},
      {"NexGenDriven", 5, 0, "Nx586", "NexGen Nx586", 601, "CMOS 0,44\xB5m", "3.5M", "118 sqr. mm"},
      {"Geode by NSC", 5, 4, "GX1", "NS Geode GX1 Processor", 1001, kOld, kOld, kOld},
      {"GenuineTMx86", 6, 4, kOld, kOld, 999, kOld, kOld, kOld},
  };
  for (const tCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.Vendor << " family " << c.Family << " model " << c.Model);
    tRawCpu cpu;
    cpu.Vendor(c.Vendor).Signature(c.Family, c.Model, 0);
    const auto e = Identified({cpu});
    tnameinfo& name = e->nameinfo[0];
    for (tString255* field : {&name.CodeName, &name.CpuName, &name.Rating, &name.Platform,
                              &name.TechProcess, &name.TranQuantity, &name.DieSize})
      *field = kOld;
    name.LogoKey = 999;
    ASSERT_TRUE(e->NameProcessor(0));
    EXPECT_EQ(name.CodeName.View(), c.CodeName);
    EXPECT_EQ(name.CpuName.View(), c.CpuName);
    EXPECT_EQ(name.Rating.View(), kOld);
    EXPECT_EQ(name.LogoKey, c.LogoKey);
    EXPECT_EQ(name.Platform.View(), kOld);
    EXPECT_EQ(name.TechProcess.View(), c.TechProcess);
    EXPECT_EQ(name.TranQuantity.View(), c.TranQuantity);
    EXPECT_EQ(name.DieSize.View(), c.DieSize);
  }
}

}  // namespace
