// What the pages show for a processor: field texts, what is greyed, captions that change.
#include "view/PageText.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/naming/CodeNameTable.h"
#include "tests/support/EngineFixtures.h"

namespace {

TEST(AssocToStr, NamesEveryCountOfWays) {
  const std::pair<std::uint16_t, std::string_view> cases[] = {
      {0, "off"},     {1, "direct map"}, {2, "2-way"},     {4, "4-way"}, {8, "8-way"},
      {16, "16-way"}, {32, "32-way"},    {255, "fully"},   {6, "6-way"}, {12, "12-way"},
      {3, "3-way"},   {20, "20-way"},    {254, "254-way"}, {256, ""},
  };
  for (const auto& [code, text] : cases)
    EXPECT_EQ(AssocToStr(code), text) << code;
}

TEST(LogoFileName, SharedKeysAndUnknownKeys) {
  EXPECT_EQ(LogoFileName(145), "AMD_K6_III.PNG");
  EXPECT_EQ(LogoFileName(135), "AMD_K6_III.PNG");
  EXPECT_EQ(LogoFileName(465), "Intel_Celeron.PNG");
  EXPECT_EQ(LogoFileName(705), "Transmeta_Crusoe.PNG");
  EXPECT_EQ(LogoFileName(505), "No_Logo.PNG");
  EXPECT_EQ(LogoFileName(0), "No_Logo.PNG");
}

// The logo table of the vendor tables' processors, key by key.
TEST(LogoFileName, EveryKeyOfTheVendorTables) {
  const std::pair<std::uint16_t, std::string_view> rows[] = {
      {125, "AMD_K6.PNG"},
      {130, "AMD_K6_2.PNG"},
      {135, "AMD_K6_III.PNG"},
      {140, "AMD_K6_2_plus.PNG"},
      {145, "AMD_K6_III.PNG"},
      {150, "AMD_Athlon.PNG"},
      {155, "AMD_Duron.PNG"},
      {160, "AMD_Athlon_XP.PNG"},
      {165, "AMD_Athlon_4.PNG"},
      {170, "AMD_Athlon_MP.PNG"},
      {175, "AMD_Duron.PNG"},
      {180, "AMD_Athlon_XP_M.PNG"},
      {185, "AMD_Sempron.PNG"},
      {190, "AMD_Opteron_64.PNG"},
      {195, "AMD_Athlon_64.PNG"},
      {200, "AMD_Athlon_64_X2.PNG"},
      {205, "AMD_Sempron.PNG"},
      {210, "AMD_Athlon_64.PNG"},
      {215, "AMD_Athlon_64_FX.PNG"},
      {220, "AMD_Turion_64.PNG"},
      {225, "AMD_Sempron_M.PNG"},
      {230, "AMD_Athlon_64_M.PNG"},
      {410, "Intel_Pentium.PNG"},
      {415, "Intel_Pentium_MMX.PNG"},
      {420, "Intel_Pentium_Pro.PNG"},
      {425, "Intel_Pentium_2.PNG"},
      {430, "Intel_Celeron.PNG"},
      {435, "Intel_PIII.PNG"},
      {440, "Intel_PIII_M.PNG"},
      {445, "Intel_PIII_Xeon.PNG"},
      {450, "Intel_Pentium_M.PNG"},
      {455, "Intel_Celeron_M.PNG"},
      {460, "Intel_P4_M.PNG"},
      {465, "Intel_Celeron.PNG"},
      {470, "Intel_P4.PNG"},
      {475, "Intel_P4_HT.PNG"},
      {480, "Intel_P4_Extreme.PNG"},
      {485, "Intel_Extreme.PNG"},
      {490, "Intel_Pentium_D.PNG"},
      {495, "Intel_Celeron_D.PNG"},
      {500, "Intel_P4_Xeon.PNG"},
      {510, "Intel_Itanium.PNG"},
      {515, "Intel_Itanium_2.PNG"},
      {705, "Transmeta_Crusoe.PNG"},
      // Keys of the tables without a picture.
      {105, "No_Logo.PNG"},
      {400, "No_Logo.PNG"},
      {401, "No_Logo.PNG"},
      {501, "No_Logo.PNG"},
      {601, "No_Logo.PNG"},
      {701, "No_Logo.PNG"},
      {801, "No_Logo.PNG"},
      {1001, "No_Logo.PNG"},
      {65535, "No_Logo.PNG"},
  };
  for (const auto& [key, file] : rows)
    EXPECT_EQ(LogoFileName(key), file) << key;
}

// Every marketing line of today's processors that names a logo has a picture of its own:
// never the fallback, and no two of today's lines share one.
TEST(LogoFileName, EveryLineOfTodayHasItsOwnPicture) {
  std::map<std::string_view, std::uint16_t> owner;
  for (const tMarketingLine& line : MarketingLines()) {
    if (line.LogoKey == 0 || line.NetBurst) continue;
    const std::string_view file = LogoFileName(line.LogoKey);
    EXPECT_NE(file, "No_Logo.PNG") << line.Name;
    const auto [at, added] = owner.emplace(file, line.LogoKey);
    EXPECT_EQ(at->second, line.LogoKey) << file << " is shared";
  }
  EXPECT_EQ(owner.size(), 11u);
}

TEST(ProcessorPage, GreysWhatTheRecordsDoNotHold) {
  tRawCpu cpu = tRawCpu::Intel(15, 2, 9);
  cpu.ExtendedFamilyModel(0, 0).ApicId(3);
  const auto e = Identified({cpu});
  e->nameinfo[0] = tnameinfo{};
  e->nameinfo[0].CpuName = "Table Name";
  const tProcessorPageText page = ProcessorPageText(*e, 0);
  EXPECT_EQ(page.CpuName.Text, "Table Name");
  EXPECT_FALSE(page.CodeName.Enabled);
  EXPECT_FALSE(page.Rating.Enabled);
  EXPECT_TRUE(page.ExtName.Enabled) << "always shown";
  EXPECT_EQ(page.ExtName.Text, "Table Name") << "the table name stands in for a brand string";
  EXPECT_FALSE(page.BrandID.Enabled) << "brand ID 0";
  EXPECT_FALSE(page.APICID.Enabled) << "no on-chip APIC";
  EXPECT_EQ(page.Family.Text, "F");
  EXPECT_FALSE(page.ExtStepping.Enabled) << "intel";
  EXPECT_EQ(page.LogoFile, "No_Logo.PNG");

  cpu.StdEdxBit(9).BrandId(14).Brand("Intel(R) Pentium(R) 4 CPU");
  const auto withApic = Identified({cpu});
  const tProcessorPageText shown = ProcessorPageText(*withApic, 0);
  EXPECT_EQ(shown.APICID.Text, "3");
  EXPECT_EQ(shown.BrandID.Text, "14");
  EXPECT_EQ(shown.ExtName.Text.substr(0, 25), "Intel(R) Pentium(R) 4 CPU");
}

TEST(ProcessorPage, TheExtendedNameIsTheBrandWithoutItsPadding) {
  struct tCase {
    std::string Brand;
    const char* Shown;
  };
  const tCase cases[] = {
      {"   Intel(R) Pentium(R) 4 CPU 2.80GHz", "Intel(R) Pentium(R) 4 CPU 2.80GHz"},
      {"AMD Athlon(tm) 64 Processor 3000+      ", "AMD Athlon(tm) 64 Processor 3000+"},
      {"  Mobile  CPU  ", "Mobile  CPU"},  // the spaces inside stay
      {std::string("VIA Nehemiah  \0 junk", 20), "VIA Nehemiah"},
  };
  for (const tCase& c : cases) {
    tRawCpu cpu = tRawCpu::Intel(15, 2, 9);
    cpu.Brand(c.Brand);
    EXPECT_EQ(ProcessorPageText(*Identified({cpu}), 0).ExtName.Text, c.Shown) << c.Shown;
  }
}

TEST(ProcessorPage, ExtendedSignatureByVendor) {
  tRawCpu intel = tRawCpu::Intel(6, 10, 7);
  intel.ExtendedFamilyModel(0, 2).ExtSignature(0, 0, 0);
  const tProcessorPageText i = ProcessorPageText(*Identified({intel}), 0);
  EXPECT_EQ(i.ExtFamily.Text, "0");
  EXPECT_EQ(i.ExtModel.Text, "2");
  EXPECT_FALSE(i.ExtStepping.Enabled);

  tRawCpu amd = tRawCpu::Amd(15, 1, 2);
  amd.ExtSignature(15, 1, 2, 6, 0);
  const tProcessorPageText a = ProcessorPageText(*Identified({amd}), 0);
  EXPECT_EQ(a.ExtFamily.Text, "15");  // 0xF + 6
  EXPECT_EQ(a.ExtModel.Text, "1");
  EXPECT_EQ(a.ExtStepping.Text, "2");

  tRawCpu k8 = tRawCpu::Amd(15, 15, 1);
  k8.ExtSignature(15, 15, 1, 0, 7);
  const tProcessorPageText k = ProcessorPageText(*Identified({k8}), 0);
  EXPECT_EQ(k.ExtFamily.Text, "F") << "extended family 0 shows the base family alone";
  EXPECT_EQ(k.ExtModel.Text, "7F");
}

TEST(ProcessorPage, CacheSummaryAndFeatureLabels) {
  tRawCpu amd = tRawCpu::Amd(15, 11, 2);
  amd.SizeLeafL2(512).ExtEdxBit(29).ExtEdxBit(31);
  auto e = Identified({amd});
  e->level2[0].UnitCount = 2;
  tProcessorPageText page = ProcessorPageText(*e, 0);
  EXPECT_EQ(page.Level2.Text, "2x512 KBytes");
  EXPECT_FALSE(page.Level3.Enabled);
  EXPECT_EQ(page.Level1InstrCaption, "Level 1 Instructions");
  EXPECT_EQ(page.Features[9].Caption, "AA64");
  EXPECT_TRUE(page.Features[9].Enabled);
  EXPECT_TRUE(page.Features[2].Enabled) << "3DNow!";

  e->level2[0].Present = 0;
  e->level1[0].TraceCache = 1;
  e->level1[0].ICacheSize = 12;
  page = ProcessorPageText(*e, 0);
  EXPECT_FALSE(page.Level2.Enabled);
  EXPECT_EQ(page.Level1InstrCaption, "Level 1 Trace");
  EXPECT_EQ(page.Level1Instr.Text, "12 K\xB5Ops");

  tRawCpu intel = tRawCpu::Intel(15, 4, 1);
  intel.ExtEdxBit(29);
  EXPECT_EQ(ProcessorPageText(*Identified({intel}), 0).Features[9].Caption, "EM64T");
}

TEST(ProcessorPage, PowerLabelPrefersPowerNowThenSpeedStepThenCoolnQuiet) {
  struct Case {
    std::uint8_t powerNow, speedStep, coolnQuiet;
    std::string_view caption;
    int left;
  };
  const Case cases[] = {
      {1, 1, 1, "Power Now", 333},
      {0, 1, 1, "Speed Step", 330},
      {0, 0, 1, "Cool'n'Quiet", 327},
  };
  auto e = Identified({tRawCpu::Amd(6, 4, 2)});
  for (const Case& c : cases) {
    e->CPUfeatures[0].PowerNow = c.powerNow;
    e->CPUfeatures[0].SpeedStep = c.speedStep;
    e->CPUfeatures[0].CoolnQuiet = c.coolnQuiet;
    const tPowerLabel label = ProcessorPageText(*e, 0).Power;
    EXPECT_TRUE(label.Enabled);
    EXPECT_EQ(label.Caption, c.caption);
    EXPECT_EQ(label.Left, c.left);
  }
  e->CPUfeatures[0] = tCPUfeatures{};
  EXPECT_FALSE(ProcessorPageText(*e, 0).Power.Enabled);
}

TEST(ClocksText, OneDecimalAndGreyedZeros) {
  tClocks clocks;
  clocks.CoreClock = 2009.64;
  clocks.Multiplier = 11.0f;
  clocks.BusClock = 182.6945;
  clocks.BusSpeed = 0.0;
  const tClocksText text = ClocksText(clocks, {}, tVendor::intel, 15, ',');
  EXPECT_EQ(text.Core.Text, "2009,6 MHz");
  EXPECT_EQ(text.Multiplier.Text, "x 11,0");
  EXPECT_EQ(text.Bus.Text, "182,7 MHz");
  EXPECT_FALSE(text.BusSpeed.Enabled);
  EXPECT_FALSE(text.BusCaptionHtt);
  EXPECT_TRUE(ClocksText(clocks, {}, tVendor::amd, 15, '.').BusCaptionHtt);
  EXPECT_FALSE(ClocksText(clocks, {}, tVendor::amd, 6, '.').BusCaptionHtt);
  EXPECT_FALSE(ClocksText(tClocks{}, {}, tVendor::amd, 6, '.').Core.Enabled);
}

// Where the effective clock was measured, the Core field shows it instead of the
// time-stamp counter's fixed rate.
TEST(ClocksText, CoreShowsTheEffectiveClockWhereMeasured) {
  tClocks clocks;
  clocks.CoreClock = 3187.24;
  EXPECT_EQ(
      ClocksText(clocks, {4712.36, tEffectiveSource::AperfMperf}, tVendor::intel, 6, '.').Core.Text,
      "4712.4 MHz");
  EXPECT_EQ(ClocksText(clocks, {0}, tVendor::intel, 6, '.').Core.Text, "3187.2 MHz");
  // The other sources' clocks are shown apart: the Core field keeps the counter's rate.
  EXPECT_EQ(
      ClocksText(clocks, {3670.1, tEffectiveSource::TimedLoop}, tVendor::intel, 6, '.').Core.Text,
      "3187.2 MHz");
}

TEST(CachePage, TraceCaptionsUnitsAndTheLevelThreeView) {
  tRawCpu cpu = tRawCpu::Intel(15, 2, 9);
  cpu.Descriptors({0x70, 0x7B, 0x66, 0x22});
  const auto e = Identified({cpu});

  const auto l1 = CacheLevelText(*e, 0, 1);
  EXPECT_EQ(l1[1].Caption, "L1 Trace Cache");
  EXPECT_EQ(l1[1].Rows[0].Value, "12 K\xB5Ops");
  EXPECT_EQ(l1[1].Rows[2].Value, "6 \xB5Ops");
  EXPECT_EQ(l1[3].Caption, "L1 Trace TLB (4Kb pages)");
  EXPECT_EQ(l1[0].Rows[3].Caption, "Lines per Tag");

  const auto l2 = CacheLevelText(*e, 0, 2);
  EXPECT_FALSE(l2[1].Visible);
  EXPECT_EQ(l2[0].Rows[0].Value, "512 KBytes");
  EXPECT_EQ(l2[0].Rows[1].Value, "8-way");
  EXPECT_EQ(l2[3].Caption, "L2 Trace TLB (4Kb pages)");

  const auto l3 = CacheLevelText(*e, 0, 3);
  EXPECT_EQ(l3[0].Caption, "L3 Cache");
  EXPECT_EQ(l3[0].Rows[3].Caption, "Sectors");
  EXPECT_EQ(l3[0].Rows[3].Value, "2");
  for (std::size_t box = 1; box < 6; ++box)
    EXPECT_FALSE(l3[box].Visible) << box;
}

// The form's boxes are level 1's; a trace cache names the instruction side "Trace" at levels 1
// and 2; level 3 has one box.
TEST(CachePage, BoxCaptionsOfEveryLevel) {
  struct tCase {
    int Level;
    bool Trace;
    std::array<std::string_view, 6> Captions;
  };
  const tCase cases[] = {
      {1,
       false,
       {"L1 Data Cache", "L1 Instruction Cache", "L1 Data TLB (4Kb pages)",
        "L1 Instruction TLB (4Kb pages)", "L1 Data TLB (2Mb pages)",
        "L1 Instruction TLB (2Mb pages)"}},
      {1,
       true,
       {"L1 Data Cache", "L1 Trace Cache", "L1 Data TLB (4Kb pages)", "L1 Trace TLB (4Kb pages)",
        "L1 Data TLB (2Mb pages)", "L1 Trace TLB (2Mb pages)"}},
      {2,
       false,
       {"L2 Cache", "", "L2 Data TLB (4Kb pages)", "L2 Instruction TLB (4Kb pages)",
        "L2 Data TLB (2Mb pages)", "L2 Instruction TLB (2Mb pages)"}},
      {2,
       true,
       {"L2 Cache", "", "L2 Data TLB (4Kb pages)", "L2 Trace TLB (4Kb pages)",
        "L2 Data TLB (2Mb pages)", "L2 Trace TLB (2Mb pages)"}},
      {3, false, {"L3 Cache", "", "", "", "", ""}},
      {3, true, {"L3 Cache", "", "", "", "", ""}},
      {0, false, {"", "", "", "", "", ""}},
      {4, true, {"", "", "", "", "", ""}},
  };
  for (const tCase& c : cases) {
    const std::array<std::string, 6> captions = CacheBoxCaptions(c.Level, c.Trace);
    for (std::size_t box = 0; box < captions.size(); ++box)
      EXPECT_EQ(captions[box], c.Captions[box]) << c.Level << " " << c.Trace << " box " << box;
  }
}

}  // namespace
