// Naming of AMD processors: selection order, overwrites and appends, the keys of every
// family (level-2 size, stepping, brand-ID group and sub-index, PowerNow, MP, processor
// count), the clock hints, and the generation boundary of the 64-bit line.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/EngineFixtures.h"

namespace {

constexpr std::uint32_t kPowerNow = 0x6;  // leaf 0x80000007 EDX: FID and VID
constexpr unsigned kMpBit = 19;           // leaf 0x80000001 EDX

struct tName {
  std::string_view CodeName{}, CpuName{}, Rating{};
  unsigned LogoKey = 0;
  std::string_view Platform{}, TechProcess{}, TranQuantity{}, DieSize{};
  bool operator==(const tName&) const = default;
};

std::ostream& operator<<(std::ostream& out, const tName& n) {
  return out << "{" << n.CodeName << " | " << n.CpuName << " | " << n.Rating << " | " << n.LogoKey
             << " | " << n.Platform << " | " << n.TechProcess << " | " << n.TranQuantity << " | "
             << n.DieSize << "}";
}

tName NameOf(const tnameinfo& n) {
  return {n.CodeName.View(), n.CpuName.View(),     n.Rating.View(),       n.LogoKey,
          n.Platform.View(), n.TechProcess.View(), n.TranQuantity.View(), n.DieSize.View()};
}

// Every field holds something before the second naming, so a row that leaves a field and a
// row that empties it differ.
void FillRecord(tnameinfo& n) {
  for (tString255* field : {&n.CodeName, &n.CpuName, &n.Rating, &n.Platform, &n.TechProcess,
                            &n.TranQuantity, &n.DieSize})
    *field = "old";
  n.LogoKey = 999;
}

tRawCpu K7(unsigned model, unsigned stepping, unsigned l2kb, bool powerNow, bool mp) {
  tRawCpu cpu = tRawCpu::Amd(6, model, stepping);
  cpu.SizeLeafL2(l2kb);
  if (powerNow) cpu.PowerManagement(kPowerNow);
  if (mp) cpu.ExtEdxBit(kMpBit);
  return cpu;
}

tRawCpu K8(unsigned brandId, unsigned extModel, unsigned model, unsigned l2kb, unsigned cores,
           unsigned extFamily = 0) {
  tRawCpu cpu = tRawCpu::Amd(15, model, 0);
  cpu.ExtendedFamilyModel(extFamily, extModel)
      .BrandId(0x55)
      .ExtSignature(15, model, 0, extFamily, extModel)
      .ExtBrandId(brandId)
      .SizeLeafL2(l2kb)
      .CoreCount(cores);
  return cpu;
}

constexpr std::string_view kCu013 = "CMOS Cu 0,13\xB5m";
constexpr std::string_view kSOI13 = "CMOS Cu 0,13\xB5m SOI";
constexpr std::string_view kSOI09 = "CMOS Cu 0,09\xB5m SOI";
constexpr std::string_view kDSL = "CMOS Cu 0,09\xB5m DSL SOI";
constexpr std::string_view kAthlon64 = "AMD Athlon(tm) 64 Processor";

TEST(NameAMD, OlderFamiliesByModelAndLevel2Size) {
  struct tCase {
    const char* Label;
    tRawCpu Cpu;
    tName Expected;
    std::uint8_t L2Present;
    std::uint16_t ICacheKB;
  };
  const tCase cases[] = {
      {"Am386SX",
       tRawCpu::Amd(3, 2, 0),
       {"P9 (0,80\xB5m)", "Am80386SX Processor", "", 105, "PGA, 132-pin", "CMOS 0,80\xB5m", "250K",
        ""},
       1,
       0},
      {"family 3, unlisted model", tRawCpu::Amd(3, 1, 0), {}, 1, 0},
      {"Am5x86WB",
       tRawCpu::Amd(4, 15, 4),
       {"X5", "Am5x86WB Processor", "", 115, "", "CMOS 0,80\xB5m", "1.6M", ""},
       1,
       16},
      {"Am486DX4",
       tRawCpu::Amd(4, 8, 0),
       {"P24C", "Am80486DX4 Processor", "", 110, "", "CMOS 0,80\xB5m", "1.25M", ""},
       1,
       8},
      {"first K5: socket 5, no level 2",
       tRawCpu::Amd(5, 0, 1),
       {"SSA5", "AMD K5(tm) Processor", "", 120, "Socket 5", "CMOS 0,80\xB5m", "4.3M",
        "251 sqr. mm"},
       0,
       16},
      {"K5 model 3 keeps socket 7",
       tRawCpu::Amd(5, 3, 0),
       {"5k86", "AMD K5(tm) Processor", "", 120, "Socket 7", "CMOS 0,35\xB5m", "4.3M",
        "181 sqr. mm"},
       0,
       0},
      {"K6-2+ by 128 KB",
       tRawCpu::Amd(5, 13, 4).SizeLeafL2(128),
       {"", "AMD K6(tm)-2+ Processor", "", 140, "Socket 7", "CMOS 0,18\xB5m", "", ""},
       1,
       0},
      {"K6-III+ by another size",
       tRawCpu::Amd(5, 13, 4).SizeLeafL2(256),
       {"", "AMD K6(tm)-III+ Processor", "", 145, "Socket 7", "CMOS 0,18\xB5m", "22M", ""},
       1,
       0},
      {"family 5, unlisted model", tRawCpu::Amd(5, 10, 0), {.Platform = "Socket 7"}, 1, 0},
      {"family 7", tRawCpu::Amd(7, 0, 0), {}, 1, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified({c.Cpu});
    EXPECT_EQ(NameOf(e->nameinfo[0]), c.Expected);
    EXPECT_EQ(e->level2[0].Present, c.L2Present);
    EXPECT_EQ(e->level1[0].ICacheSize, c.ICacheKB);
    EXPECT_EQ(e->level2[0].UnitCount, 1);
    EXPECT_EQ(e->MultiplierMethod[0], 0);
  }
}

TEST(NameAMD, FirstK5GetsItsLevel1Preset) {
  const auto e = Identified({tRawCpu::Amd(5, 0, 1)});
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ICacheSize, 16);
  EXPECT_EQ(l1.ICacheAssoc, 4);
  EXPECT_EQ(l1.ICacheLine, 32);
  EXPECT_EQ(l1.DCacheSize, 8);
  EXPECT_EQ(l1.DCacheAssoc, 4);
  EXPECT_EQ(l1.DCacheLine, 32);
  EXPECT_EQ(l1.ITLB4KEntries, 128);
  EXPECT_EQ(l1.ITLB4KAssoc, 4);
  EXPECT_EQ(l1.ITLB2MEntries, 255);
  EXPECT_EQ(l1.ITLB2MAssoc, 4);
  EXPECT_EQ(l1.DTLB4KEntries, 128);
  EXPECT_EQ(l1.DTLB4KAssoc, 4);
  EXPECT_EQ(l1.DTLB2MEntries, 255);
  EXPECT_EQ(l1.DTLB2MAssoc, 2);
  EXPECT_EQ(l1.ICacheLinesPerTag, 0);
}

// A second naming over a filled record: a row writes its own fields, empties those it
// empties and leaves the rest.
TEST(NameAMD, SecondNamingLeavesFieldsTheRowDoesNotAssign) {
  struct tCase {
    const char* Label;
    tRawCpu Cpu;
    tName Expected;
  };
  const tCase cases[] = {
      {"family 4 empties Platform and DieSize",
       tRawCpu::Amd(4, 3, 0),
       {"P24", "Am80486DX2 Processor", "old", 110, "", "CMOS 0,80\xB5m", "1.25M", ""}},
      {"family 4 unlisted model only empties Platform",
       tRawCpu::Amd(4, 5, 0),
       {"old", "old", "old", 999, "", "old", "old", "old"}},
      {"K6-2+ empties its code name",
       tRawCpu::Amd(5, 13, 4).SizeLeafL2(128),
       {"", "AMD K6(tm)-2+ Processor", "old", 140, "Socket 7", "CMOS 0,18\xB5m", "", ""}},
      {"K7 model 8 with 128 KB writes the socket only",
       K7(8, 1, 128, false, false),
       {"old", "old", "old", 999, "Socket A", "old", "old", "old"}},
      {"Thoroughbred with stepping 3 writes the socket only",
       K7(8, 3, 256, false, false),
       {"old", "old", "old", 999, "Socket A", "old", "old", "old"}},
      {"K7 model 9 writes nothing",
       K7(9, 0, 256, true, false),
       {"old", "old", "old", 999, "old", "old", "old", "old"}},
      {"mobile Athlon 64 sub-index 2 keeps the core",
       K8(0x280, 0, 4, 512, 1),
       {"old", "AMD Athlon(tm) 64 Mobile Processor", "15000+", 230, "Socket 754", kSOI13, "old",
        "old"}},
      {"Athlon 64 FX on the later core leaves the transistor count",
       K8(0x91B, 1, 15, 1024, 1),
       {"San Diego (rev. E4)", "AMD Athlon(tm) 64 FX-51 Processor", "old", 215, "Socket 939", kDSL,
        "old", "115 sqr. mm"}},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified({c.Cpu});
    FillRecord(e->nameinfo[0]);
    e->level2[0].UnitCount = 0;
    ASSERT_TRUE(e->NameProcessor(0));
    EXPECT_EQ(NameOf(e->nameinfo[0]), c.Expected);
    EXPECT_EQ(e->level2[0].UnitCount, 1);
  }
}

TEST(NameAMD, K7VariantByPowerNowMpAndProcessorCount) {
  struct tCase {
    const char* Label;
    tRawCpu Cpu;
    unsigned Processors;
    std::string_view CodeName, CpuName;
    std::uint16_t LogoKey;
    std::string_view Platform;
  };
  constexpr std::string_view kXP = "AMD Athlon(tm) XP Processor";
  constexpr std::string_view kMP = "AMD Athlon(tm) MP Processor";
  constexpr std::string_view kSempron = "AMD Sempron(tm) Processor";
  constexpr std::string_view kMobile = "AMD Athlon(tm) XP Mobile Processor";
  constexpr std::string_view kDuron = "AMD Duron(tm) Processor";
  const tCase cases[] = {
      {"Thunderbird", K7(4, 2, 256, false, false), 1, "Thunderbird", "AMD Athlon(tm) Processor",
       150, "Socket A"},
      {"mobile Thunderbird", K7(4, 2, 256, true, false), 1, "Thunderbird",
       "AMD Athlon(tm) Processor (Mobile)", 150, "Socket A"},
      {"mobile Palomino", K7(6, 2, 256, true, true), 2, "Palomino",
       "AMD Athlon(tm) 4 Mobile Processor", 165, "Socket A"},
      {"Palomino, MP, two processors", K7(6, 2, 256, false, true), 2, "Palomino", kMP, 170,
       "Socket A"},
      {"Palomino, MP, one processor", K7(6, 2, 256, false, true), 1, "Palomino", kXP, 160,
       "Socket A"},
      {"Thoroughbred A, MP, one processor", K7(8, 0, 256, false, true), 1, "Thoroughbred A", kXP,
       160, "Socket A"},
      {"Thoroughbred B, MP, one processor", K7(8, 1, 256, false, true), 1, "Thoroughbred B",
       kSempron, 185, "Socket A"},
      {"Thoroughbred B, MP, two processors", K7(8, 1, 256, false, true), 2, "Thoroughbred B", kMP,
       170, "Socket A"},
      {"Thoroughbred B, PowerNow before MP", K7(8, 1, 256, true, true), 2, "Thoroughbred B",
       kMobile, 180, "Socket A"},
      {"Thoroughbred stepping 2", K7(8, 2, 256, false, false), 1, "Thoroughbred", kXP, 160,
       "Socket A"},
      {"Applebred ignores MP", K7(8, 1, 64, false, true), 1, "Applebred", kDuron, 155, "Socket A"},
      {"mobile Morgan, not marked", K7(7, 1, 64, true, false), 1, "Morgan",
       "AMD Duron(tm) Mobile Processor", 175, "Socket A"},
      {"mobile Barton, marked twice", K7(10, 0, 512, true, false), 1, "Barton",
       "AMD Athlon(tm) XP Mobile Processor (Mobile)", 180, "Socket A"},
      {"Barton, MP, one processor", K7(10, 0, 512, false, true), 1, "Barton", kSempron, 185,
       "Socket A"},
      {"Thorton, MP, two processors", K7(10, 0, 256, false, true), 2, "Thorton", kSempron, 185,
       "Socket A"},
      {"Thorton with PowerNow", K7(10, 0, 256, true, false), 1, "Thorton",
       "AMD Athlon(tm) XP Processor (Mobile)", 160, "Socket A"},
      {"model 10 with 1024 KB", K7(10, 0, 1024, false, false), 1, "", "", 0, "Socket A"},
      {"model 5 with PowerNow", K7(5, 0, 256, true, false), 1, "", " (Mobile)", 0, ""},
      {"model 9 with PowerNow", K7(9, 0, 256, true, false), 1, "", "", 0, ""},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified(std::vector<tRawCpu>(c.Processors, c.Cpu));
    const tnameinfo& name = e->nameinfo[0];
    EXPECT_EQ(name.CodeName.View(), c.CodeName);
    EXPECT_EQ(name.CpuName.View(), c.CpuName);
    EXPECT_EQ(name.LogoKey, c.LogoKey);
    EXPECT_EQ(name.Platform.View(), c.Platform);
    EXPECT_EQ(name.Rating.View(), "");  // replay measures no clocks
  }
}

// A pass that assigns no name does not mark the previous pass's name again; the mark is cut
// at the capacity of the field.
TEST(NameAMD, MobileMarkOncePerNameAndCutAt255) {
  const auto e = Identified(
      {K7(5, 0, 256, true, false), K7(11, 0, 256, true, false), K7(10, 0, 512, true, false)});
  for (unsigned slot = 0; slot < 3; ++slot)
    ASSERT_TRUE(e->NameProcessor(slot));
  EXPECT_EQ(e->nameinfo[0].CpuName.View(), " (Mobile)");
  EXPECT_EQ(e->nameinfo[2].CpuName.View(), "AMD Athlon(tm) XP Mobile Processor (Mobile)");

  e->nameinfo[1].CpuName = std::string(250, 'x');
  ASSERT_TRUE(e->NameProcessor(1));
  EXPECT_EQ(e->nameinfo[1].CpuName.View(), std::string(250, 'x') + " (Mob");
}

// Only the XP variant looks the rating up; a rating found once stays when a later lookup
// finds no row.
TEST(NameAMD, XPVariantLooksUpTheRating) {
  struct tCase {
    const char* Label;
    bool MP;
    float Multiplier;
    std::string_view Rating;
  };
  constexpr tCase kCases[] = {
      {"XP at 166 x 12.5", false, 12.5f, "2600+"},
      {"XP at 166 x 12.75", false, 12.75f, ""},
      {"Sempron at 166 x 12.5", true, 12.5f, ""},
  };
  for (const tCase& c : kCases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified({K7(8, 1, 256, false, c.MP)});
    e->Clocks[0].BusClock = 166.0;
    e->Clocks[0].Multiplier = c.Multiplier;
    ASSERT_TRUE(e->NameProcessor(0));
    EXPECT_EQ(e->nameinfo[0].Rating.View(), c.Rating);
  }

  const auto e = Identified({K7(8, 1, 256, false, false)});
  e->Clocks[0].BusClock = 166.0;
  e->Clocks[0].Multiplier = 12.5f;
  ASSERT_TRUE(e->NameProcessor(0));
  e->Clocks[0].Multiplier = 12.75f;
  ASSERT_TRUE(e->NameProcessor(0));
  EXPECT_EQ(e->nameinfo[0].Rating.View(), "2600+");
}

TEST(NameAMD, ClockHintsByFamilyAndGeneration) {
  struct tCase {
    const char* Label;
    tRawCpu Cpu;
    std::uint8_t Method;
    std::uint8_t BusFactor;  // after 4 was set before the naming
  };
  const tCase cases[] = {
      {"K7", K7(8, 1, 256, false, false), 1, 2},
      {"K7 without a row", K7(9, 0, 256, false, false), 1, 2},
      {"64-bit line", K8(0x10A, 0, 4, 512, 1), 2, 4},
      {"64-bit line, group without a name", K8(0x60A, 0, 4, 512, 1), 2, 4},
      // Family 10h: the code-name table's COFVID registers, method 10.
      {"extended family 1", K8(0x10A, 0, 4, 512, 1, 1), 10, 4},
      {"K6", tRawCpu::Amd(5, 8, 0), 0, 4},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified({c.Cpu});
    e->MultiplierMethod[0] = 0;
    e->Clocks[0].BusFactor = 4;
    ASSERT_TRUE(e->NameProcessor(0));
    EXPECT_EQ(e->MultiplierMethod[0], c.Method);
    EXPECT_EQ(e->Clocks[0].BusFactor, c.BusFactor);
  }
}

TEST(NameAMD, K8BrandGroups) {
  struct tCase {
    const char* Label;
    tRawCpu Cpu;
    tName Expected;
    std::uint8_t UnitCount;
  };
  constexpr std::string_view kX2 = "AMD Athlon 64 X2 Processor";
  const tCase cases[] = {
      {"group 0: engineering sample NN",
       K8(0x04A, 0, 4, 512, 1),
       {"", "K8 Family Engineering Sample 74", "", 210, "", "", "", ""},
       1},
      {"group 1, model 4, 512 KB",
       K8(0x10A, 0, 4, 512, 1),
       {"ClawHammer/512K", kAthlon64, "3200+", 195, "Socket 754", kSOI13, "105.9M", "193 sqr. mm"},
       1},
      {"group 1, model 12, 256 KB",
       K8(0x108, 0, 12, 256, 1),
       {"NewCastle/256K", kAthlon64, "3000+", 195, "Socket 754", kSOI13, "68.5M", "144 sqr. mm"},
       1},
      {"group 1, model 7, 1024 KB",
       K8(0x10A, 0, 7, 1024, 1),
       {"SledgeHammer", kAthlon64, "3200+", 195, "Socket 939", kSOI13, "105.9M", "193 sqr. mm"},
       1},
      {"group 1, model without a core",
       K8(0x10A, 0, 5, 1024, 1),
       {"", kAthlon64, "3200+", 195, "Socket 939", kSOI13, "", ""},
       1},
      {"group 1, extended model 1",
       K8(0x10A, 1, 15, 512, 1),
       {"Winchester", kAthlon64, "3200+", 195, "Socket 939", kDSL, "68.5M", "83 sqr. mm"},
       1},
      {"group 1, extended model 2, 256 KB",
       K8(0x10A, 2, 15, 256, 1),
       {"", kAthlon64, "3200+", 195, "Socket 939", kDSL, "", ""},
       1},
      {"group 1, dual core, 1024 KB",
       K8(0x10A, 3, 11, 1024, 2),
       {"Toledo", kX2, "3200+", 200, "Socket 939", kDSL, "114M", "199 sqr. mm"},
       2},
      {"group 1, dual core, 256 KB",
       K8(0x10A, 0, 4, 256, 2),
       {"", kX2, "3200+", 200, "Socket 939", kDSL, "", ""},
       2},
      {"group 2, sub-index 0, model 4",
       K8(0x20A, 0, 4, 1024, 1),
       {"ClawHammer", "AMD Athlon(tm) 64 Mobile Processor", "3200+", 230, "Socket 754", kSOI13,
        "105.9M", "193 sqr. mm"},
       1},
      {"group 2, sub-index 1, later core, 1024 KB",
       K8(0x24A, 1, 4, 1024, 1),
       {"Lancaster (rev. E3)", "AMD Athlon 64 Mobile Low Voltage Processor", "9600+", 230,
        "Socket 754", kDSL, "", ""},
       1},
      {"group 3: Opteron UP",
       K8(0x30A, 0, 5, 1024, 1),
       {"SledgeHammer", "AMD Opteron(tm) UP 158 Processor", "", 190, "Socket 940", kSOI13, "105.9M",
        "193 sqr. mm"},
       1},
      {"group 4, extended model 2",
       K8(0x405, 2, 1, 1024, 2),
       {"Italy (rev. E6)", "AMD Opteron(tm) DP 248 Processor", "", 190, "Socket 940", kDSL, "",
        "~200 sqr. mm"},
       1},
      {"group 5, model 8",
       K8(0x50A, 0, 8, 1024, 1),
       {"Athens", "AMD Opteron(tm) MP 858 Processor", "", 190, "Socket 940", kDSL, "", ""},
       1},
      {"group 7, sub-index 2",
       K8(0x78A, 0, 8, 256, 1),
       {"Dublin", "AMD Athlon(tm) XP Mobile Low Voltage Processor", "", 180, "Socket 745", kSOI13,
        "", ""},
       1},
      {"group 8, sub-index 1, first core",
       K8(0x84A, 0, 12, 256, 1),
       {"Dublin", "AMD Sempron Mobile Processor", "", 225, "Socket 745", kSOI13, "", ""},
       1},
      {"group 9: FX",
       K8(0x91B, 0, 5, 1024, 1),
       {"SledgeHammer", "AMD Athlon(tm) 64 FX-51 Processor", "", 215, "Socket 940", kSOI13,
        "105.9M", "193 sqr. mm"},
       1},
      {"group 10: Turion",
       K8(0xA0A, 2, 4, 512, 1),
       {"Lancaster (rev. E3)", "AMD Turion 64 Processor", "", 220, "Socket 754", kDSL, "", ""},
       1},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto e = Identified({c.Cpu});
    EXPECT_EQ(NameOf(e->nameinfo[0]), c.Expected);
    EXPECT_EQ(e->level2[0].UnitCount, c.UnitCount);
    // The brand ID now holds the group (bits 11..8 of the extended brand ID), not 0x55.
    EXPECT_EQ(e->CPUid_m[0].BrandID, e->CPUid_m[0].XBrandID >> 8);
  }
}

// The 64-bit branch serves extended family 0 only; a later generation keeps its leaf-1
// brand ID and PowerNow, gets no clock hints from it, and its record holds only what the
// code-name table writes into an empty one. That table has the later generations read their
// ratio registers: family 10h its COFVID status (method 10), 17h its P-states (method 13).
TEST(NameAMD, K8BranchEndsAtExtendedFamily1) {
  struct tCase {
    unsigned ExtFamily;
    bool Named;
    std::uint8_t Method;
  };
  constexpr tCase kCases[] = {{0, true, 2}, {1, false, 10}, {8, false, 13}};
  for (const tCase& c : kCases) {
    SCOPED_TRACE(c.ExtFamily);
    const auto e = Identified({K8(0x10A, 0, 4, 512, 1, c.ExtFamily).PowerManagement(kPowerNow)});
    const tCPUfeatures& f = e->CPUfeatures[0];
    EXPECT_EQ(e->CPUid_m[0].BrandID, c.Named ? 1 : 0x55);
    EXPECT_EQ(f.PowerNow, c.Named ? 0 : 1);
    EXPECT_EQ(f.CoolnQuiet, c.Named ? 1 : 0);
    EXPECT_EQ(e->MultiplierMethod[0], c.Method);
    EXPECT_EQ(e->level2[0].UnitCount, 1);
    EXPECT_EQ(e->nameinfo[0].CpuName.View(), c.Named ? kAthlon64 : "");
    tnameinfo tableAlone;
    ApplyModernName(e->ModernNames[0], tableAlone);
    EXPECT_EQ(NameOf(e->nameinfo[0]) == NameOf(tableAlone), !c.Named);
  }
}

}  // namespace
