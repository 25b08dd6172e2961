// Naming of Intel processors: selection order, refinements, presets, clock hints and the
// record fields a pass leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/EngineFixtures.h"

namespace {

constexpr unsigned kHttBit = 28;        // leaf 1 EDX
constexpr unsigned kIa64Bit = 30;       // leaf 1 EDX
constexpr unsigned kNxBit = 20;         // leaf 0x80000001 EDX
constexpr unsigned kLongModeBit = 29;   // leaf 0x80000001 EDX
constexpr std::uint32_t kFidVid = 0x6;  // leaf 0x80000007 EDX bits 1 and 2

constexpr const char* kP4 = "Intel Pentium-IV Processor";
constexpr const char* kCeleron = "Intel Celeron Processor";

// An Intel processor with a level-2 cache of `l2kb` KB (0 to 2048) and optionally a
// level-3 cache, both told by leaf-2 descriptors.
tRawCpu Cpu(unsigned family, unsigned model, unsigned stepping, unsigned l2kb = 256,
            bool l3 = false) {
  return tRawCpu::Intel(family, model, stepping).IntelCaches(l2kb, l3);
}

tRawCpu Htt(tRawCpu cpu) {
  return cpu.StdEdxBit(kHttBit).LogicalCpus(2);
}

// Every field of a level-1 record, in record order.
std::vector<unsigned> Fields(const tlevel1& r) {
  return {r.ITLB4KAssoc, r.ITLB2MAssoc,       r.ITLB4KEntries, r.ITLB2MEntries, r.DTLB4KAssoc,
          r.DTLB2MAssoc, r.DTLB4KEntries,     r.DTLB2MEntries, r.ICacheSize,    r.ICacheAssoc,
          r.ICacheLine,  r.ICacheLinesPerTag, r.TraceCache,    r.DCacheSize,    r.DCacheAssoc,
          r.DCacheLine,  r.DCacheLinesPerTag};
}

struct tSelection {
  const char* Label;
  tRawCpu Raw;
  const char* CodeName;
  const char* CpuName;
  std::uint16_t LogoKey;
  const char* Platform;
};

// Names every processor of `cases` in one engine, one slot each, and compares the fields
// that tell which row was chosen.
void ExpectSelections(const std::vector<tSelection>& cases) {
  std::vector<tRawCpu> cpus;
  for (const tSelection& c : cases)
    cpus.push_back(c.Raw);
  const auto e = Identified(cpus);
  for (unsigned k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].Label);
    const tnameinfo& n = e->nameinfo[k];
    EXPECT_EQ(n.CodeName.View(), cases[k].CodeName);
    EXPECT_EQ(n.CpuName.View(), cases[k].CpuName);
    EXPECT_EQ(n.LogoKey, cases[k].LogoKey);
    EXPECT_EQ(n.Platform.View(), cases[k].Platform);
    EXPECT_TRUE(n.Rating.Empty());
    EXPECT_EQ(e->level2[k].UnitCount, 1);
  }
}

TEST(NameIntel, SelectsEarlyFamiliesAndFamily6ByKeysInOrder) {
  ExpectSelections({
      {"386SX", Cpu(3, 2, 0), "P9 (0,80\xB5m)", "i80386SX", 400, ""},
      {"486DX4WB", Cpu(4, 9, 0), "P24C", "i80486DX4WB", 405, ""},
      {"486 model 6: no row", Cpu(4, 6, 0), "", "", 0, ""},
      {"P54T overwrites Socket 7", Cpu(5, 3, 0), "P54T", "Intel Pentium Overdrive Processor", 410,
       "Socket 4"},
      {"P54 keeps Socket 7", Cpu(5, 2, 12), "P54", "Intel Pentium Processor", 410, "Socket 7"},
      {"family 5 model 5: Socket 7 only", Cpu(5, 5, 0), "", "", 0, "Socket 7"},
      {"type 0", Cpu(6, 3, 3), "Klamath", "Intel Pentium-II Processor", 425, "Slot 1"},
      {"type 1", Cpu(6, 3, 3).ProcessorType(1), "POPD66X", "Intel Pentium-II Overdrive Processor",
       425, "Socket 8"},
      {"no L2", Cpu(6, 5, 0, 0), "Covington", kCeleron, 430, "Slot 1 (SECC)"},
      {"512K L2", Cpu(6, 5, 0, 512), "Deschutes", "Intel Pentium-II Processor", 425, "Slot 1"},
      {"Mendocino s4", Cpu(6, 6, 4, 128), "Mendocino", "Intel Celeron A Processor", 430,
       "Slot 1 (SECC)"},
      {"Mendocino s9", Cpu(6, 6, 9, 128), "Mendocino", "Intel Celeron A Processor", 430,
       "Socket 370 (PGA)"},
      {"Mendocino s12", Cpu(6, 6, 12, 128), "Mendocino", "Intel Celeron A Processor", 430, ""},
      {"Dixon", Cpu(6, 6, 5, 256), "Dixon", "Intel Pentium-II Mobile Processor", 425,
       "Mobile Module Connector"},
      {"Tanner", Cpu(6, 7, 3, 1024), "Tanner", "Intel Pentium-III Xeon Processor", 445, "Slot 2"},
      {"Coppermine 128K s6", Cpu(6, 8, 6, 128), "Coppermine/128K", kCeleron, 430,
       "Socket 370 (FCPGA)"},
      {"Coppermine s1", Cpu(6, 8, 1), "Coppermine", "Intel Pentium-III Processor", 435, "Slot 1"},
      {"Coppermine s2", Cpu(6, 8, 2), "Coppermine", "Intel Pentium-III Processor", 435, ""},
      {"Coppermine s3", Cpu(6, 8, 3), "Coppermine (rev. B0)", "Intel Pentium-III Processor", 435,
       "Socket 370 (FCPGA)"},
      {"Coppermine 128K s3: no B0", Cpu(6, 8, 3, 128), "Coppermine/128K", kCeleron, 430,
       "Socket 370 (FCPGA)"},
      {"Coppermine-T from 256K", Cpu(6, 8, 10), "Coppermine-T", "Intel CeleronB Processor", 430,
       "BGA/Micro-PGA"},
      {"Coppermine-T from 128K", Cpu(6, 8, 10, 128), "Coppermine-T", "Intel CeleronB Processor",
       430, "BGA/Micro-PGA"},
      {"Geyserville", Cpu(6, 9, 5).BrandId(0x14), "Geyserville",
       "Intel Pentium-III Mobile Processor", 440, "Mobile Module Connector 2"},
      {"Banias Celeron M", Cpu(6, 9, 5).BrandId(0x12), "Banias", "Intel Celeron M Processor", 455,
       "Socket 479"},
      {"Banias Pentium M", Cpu(6, 9, 5).BrandId(0x16), "Banias", "Intel Pentium M Processor", 450,
       "Socket 479"},
      {"Tualatin-256", Cpu(6, 11, 1, 256), "Tualatin-256", kCeleron, 430, "Socket 370 (FCPGA2)"},
      {"Dothan: 1 MB beats brand 0x16", Cpu(6, 13, 6, 1024).BrandId(0x16), "Dothan",
       "Intel Celeron M Processor", 455, "Socket 479 uFCBGA"},
      {"Dothan: 2 MB beats brand 0x12", Cpu(6, 12, 6, 2048).BrandId(0x12), "Dothan",
       "Intel Pentium M Processor", 450, "Socket 479 uFCBGA"},
      {"Dothan: brand 0x12, 512K", Cpu(6, 13, 6, 512).BrandId(0x12), "Dothan",
       "Intel Celeron M Processor", 455, "Socket 479 uFCBGA"},
      {"Dothan: neither", Cpu(6, 13, 6, 512), "Dothan", "", 0, "Socket 479 uFCBGA"},
      {"Yonah", Cpu(6, 14, 8, 2048), "Yonah", "Intel Pentium M Processor", 450, "Socket 479"},
      // Past the family-6 table the code-name table names them: 6/0Fh without a brand or
      // four cores is Conroe or Merom (kernel CORE2_MEROM, both dies), 6/1Eh Lynnfield
      // (kernel NEHALEM) on LGA1156.
      {"family 6 model 15", Cpu(6, 15, 6, 2048), "Conroe/Merom", "", 0, ""},
      {"family 6 model 14, extended model 1", Cpu(6, 14, 8, 2048).ExtendedFamilyModel(0, 1),
       "Lynnfield", "", 0, "LGA1156"},
      {"family 6 model 8, extended model 2", Cpu(6, 8, 3).ExtendedFamilyModel(0, 2), "", "", 0, ""},
      {"family 8", Cpu(8, 0, 0), "", "", 0, ""},
  });
}

TEST(NameIntel, SelectsFamily15ByKeysInOrder) {
  ExpectSelections({
      {"Merced", Cpu(7, 0, 0), "Merced", "Intel Itanium", 510, ""},
      {"McKinley", Cpu(15, 0, 7).ExtendedFamilyModel(1, 0).StdEdxBit(kIa64Bit), "McKinley",
       "Intel Itanium 2", 515, ""},
      {"Madison", Cpu(15, 1, 5).ExtendedFamilyModel(2, 0).StdEdxBit(kIa64Bit), "Madison",
       "Intel Itanium 2", 515, ""},
      {"extended family 1 without IA64", Cpu(15, 0, 7).ExtendedFamilyModel(1, 0), "", "", 0, ""},
      {"extended family 6 without IA64", Cpu(15, 1, 2).ExtendedFamilyModel(6, 0), "", "", 0, ""},
      {"IA64 flag on a Pentium 4", Cpu(15, 2, 4, 512).StdEdxBit(kIa64Bit), "Northwood B0", kP4, 470,
       "Socket 478"},
      {"Foster MP before stepping", Cpu(15, 0, 7).BrandId(0x0C), "Foster",
       "Intel Xeon MP Processor", 505, "Socket 423"},
      {"Foster", Cpu(15, 0, 10).BrandId(0x0E), "Foster", "Intel Xeon Processor", 500, "Socket 423"},
      {"Willamette B2", Cpu(15, 0, 7), "Willamette B2", kP4, 470, "Socket 423"},
      {"model 0 s3: Socket 423 only", Cpu(15, 0, 3), "", "", 0, "Socket 423"},
      {"Willamette-128", Cpu(15, 1, 3, 128), "Willamette-128 E0", kCeleron, 430, "Socket 478"},
      {"Willamette E0", Cpu(15, 1, 3, 256), "Willamette E0", kP4, 470, "Socket 478"},
      {"model 1 s3 512K", Cpu(15, 1, 3, 512), "", "", 0, "Socket 478"},
      {"Prestonia", Cpu(15, 2, 4, 512).BrandId(0x0B), "Prestonia", "Intel Xeon Processor", 500,
       "Socket 603/604"},
      {"Gallatin MP before L3 row", Cpu(15, 2, 5, 512, true).BrandId(0x0C), "Gallatin",
       "Intel Xeon MP Processor", 505, "Socket 603/604"},
      {"Gallatin EE", Cpu(15, 2, 5, 512, true), "Gallatin", "Intel Pentium-IV EE Processor", 480,
       "Socket 478"},
      {"Northwood M0", Cpu(15, 2, 5, 512), "Northwood M0", kP4, 470, "Socket 478"},
      {"Northwood-128 C1", Cpu(15, 2, 7, 128), "Northwood-128 C1", "Intel Celeron Processor;", 430,
       "Socket 478"},
      {"Northwood-128 C1 mobile", Cpu(15, 2, 7, 128).BrandId(0x08), "Northwood-128 C1",
       "Intel Celeron Mobile Processor", 465, "Socket 478"},
      {"Northwood C1 with HTT", Htt(Cpu(15, 2, 7, 512)), "Northwood C1", kP4, 475, "Socket 478"},
      {"Northwood/128K D1 mobile", Cpu(15, 2, 9, 128).BrandId(0x0F), "Northwood/128K D1",
       "Intel Celeron Mobile Processor", 465, "Socket 478"},
      {"Northwood D1 mobile", Cpu(15, 2, 9, 512).BrandId(0x0F), "Northwood D1",
       "Intel Pentium-IV Mobile Processor", 460, "Socket 478"},
      {"Northwood D1, brand 0x08", Cpu(15, 2, 9, 512).BrandId(0x08), "Northwood D1", kP4, 470,
       "Socket 478"},
      {"Northwood/256K D1, brand 0x0E", Cpu(15, 2, 9, 256).BrandId(0x0E), "Northwood/256K D1",
       kCeleron, 430, "Socket 478"},
      {"mobile before HTT", Htt(Cpu(15, 2, 9, 512).BrandId(0x0E)), "Northwood D1",
       "Intel Pentium-IV Mobile Processor", 460, "Socket 478"},
      {"Potomac", Cpu(15, 3, 4, 1024, true).BrandId(0x0C).ExtEdxBit(kLongModeBit), "Potomac",
       "Intel Xeon MP Processor", 505, "Socket 604"},
      {"Cranford", Cpu(15, 3, 4, 1024).BrandId(0x0C).ExtEdxBit(kLongModeBit), "Cranford",
       "Intel Xeon MP Processor", 505, "Socket 604"},
      {"brand 0x0C without 64-bit", Cpu(15, 3, 4, 1024).BrandId(0x0C), "Nocona (rev. D0)",
       "Intel Xeon Processor", 500, "Socket 604"},
      {"Prescott C0 256K", Cpu(15, 3, 3, 256), "Prescott (rev. C0)", "Intel Celeron D Processor",
       495, "Socket 478"},
      {"Prescott C0 1M", Cpu(15, 3, 3, 1024), "Prescott (rev. C0)", kP4, 470, "LGA 775"},
      {"Prescott C0 512K", Cpu(15, 3, 3, 512), "Prescott (rev. C0)", kP4, 470, "Socket 478"},
      {"Nocona", Cpu(15, 3, 7, 1024), "Nocona", "Intel Xeon Processor", 500, "Socket 604"},
      {"model 3 s5: defaults", Cpu(15, 3, 5, 1024), "Prescott", kP4, 470, "Socket 478"},
      {"Prescott E0", Cpu(15, 4, 1, 1024), "Prescott (E0)", kP4, 470, "Socket 478"},
      {"rev. E0 with NX", Cpu(15, 4, 1, 1024).ExtEdxBit(kNxBit), "Prescott (rev. E0)", kP4, 470,
       "LGA 775"},
      {"rev. E0 with HTT", Htt(Cpu(15, 4, 1, 1024)), "Prescott (rev. E0)", kP4, 475, "LGA 775"},
      {"Nocona E0", Cpu(15, 4, 1, 1024).BrandId(0x0B), "Nocona (E0)", "Intel Xeon Processor", 500,
       "Socket 604"},
      {"Cranford s1 is not refined", Cpu(15, 4, 1, 1024).BrandId(0x0C).ExtEdxBit(kLongModeBit),
       "Cranford", "Intel Xeon MP Processor", 505, "Socket 604"},
      {"N0 with SpeedStep", Cpu(15, 4, 3, 2048).PowerManagement(kFidVid), "Prescott (N0)",
       "Intel Pentium-IV EE Processor", 480, "LGA 775"},
      {"N0", Cpu(15, 4, 3, 2048), "Prescott (N0)", kP4, 470, "LGA 775"},
      {"Smithfield EE", Htt(Cpu(15, 4, 4, 1024)), "Smithfield",
       "Intel Pentium Extreme Edition Processor", 485, "LGA 775"},
      {"Smithfield without HTT", Cpu(15, 4, 4, 1024), "Smithfield", "Intel Pentium D Processor",
       490, "LGA 775"},
      {"Smithfield 2M", Htt(Cpu(15, 4, 4, 2048)), "Smithfield", "Intel Pentium D Processor", 490,
       "LGA 775"},
      // No row of the Intel table; the code-name table: 0F4A Irwindale (InstLatx64).
      {"model 4 s10", Cpu(15, 4, 10, 2048), "Irwindale", "", 0, ""},
      {"model 5", Cpu(15, 5, 1, 512), "", "", 0, ""},
      {"Willamette with L3", Cpu(15, 1, 2, 256, true), "Gallatin",
       "Intel Pentium-IV Extreme Edition Processor", 480, "Socket 478"},
      {"L3 before HTT", Htt(Cpu(15, 1, 2, 256, true)), "Gallatin",
       "Intel Pentium-IV Extreme Edition Processor", 480, "Socket 478"},
  });
}

// The fields beside the selection: which rows write, empty or leave them.
TEST(NameIntel, WritesEmptiesOrLeavesTheOtherFields) {
  struct tCase {
    const char* Label;
    tRawCpu Raw;
    const char* TechProcess;
    const char* TranQuantity;
    const char* DieSize;
  };
  const std::vector<tCase> cases = {
      {"Tanner writes none", Cpu(6, 7, 3, 1024), "", "", ""},
      {"Banias empties", Cpu(6, 9, 5).BrandId(0x12), "CMOS Cu 0,13\xB5m", "", ""},
      {"Dothan 1 MB", Cpu(6, 13, 6, 1024).BrandId(0x16), "CMOS Cu 0,09\xB5m Low-F IL", "140M",
       "88 sqr. mm"},
      {"Dothan 0x16", Cpu(6, 13, 6, 512).BrandId(0x16), "CMOS Cu 0,09\xB5m Low-F IL", "", ""},
      {"Yonah", Cpu(6, 14, 8, 2048), "CMOS Cu 0.065\xB5m", "", ""},
      {"model 1 s3 without a name", Cpu(15, 1, 3, 512), "CMOS Al 0,18\xB5m", "42M", "217 sqr. mm"},
      {"Prestonia keeps the model's process", Cpu(15, 2, 4, 512).BrandId(0x0B), "CMOS Cu 0,13\xB5m",
       "", ""},
      {"Northwood keeps the model's texts", Cpu(15, 2, 9, 512), "CMOS Cu 0,13\xB5m", "55M",
       "131 sqr. mm"},
      {"Cranford keeps the Prescott texts",
       Cpu(15, 3, 4, 1024).BrandId(0x0C).ExtEdxBit(kLongModeBit), "CMOS Cu 0,09\xB5m CDO", "125M",
       "112 sqr. mm"},
      {"Cranford of model 4", Cpu(15, 4, 1, 1024).BrandId(0x0C).ExtEdxBit(kLongModeBit),
       "CMOS Cu 0,09\xB5m CDO", "", ""},
      {"Extreme Edition", Cpu(15, 1, 2, 256, true), "CMOS Al 0,18\xB5m", "178M", "217 sqr. mm"},
  };
  std::vector<tRawCpu> cpus;
  for (const tCase& c : cases)
    cpus.push_back(c.Raw);
  const auto e = Identified(cpus);
  for (unsigned k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].Label);
    EXPECT_EQ(e->nameinfo[k].TechProcess.View(), cases[k].TechProcess);
    EXPECT_EQ(e->nameinfo[k].TranQuantity.View(), cases[k].TranQuantity);
    EXPECT_EQ(e->nameinfo[k].DieSize.View(), cases[k].DieSize);
  }
}

TEST(NameIntel, SetsClockHints) {
  constexpr std::uint8_t kUnchanged = 99;
  struct tCase {
    const char* Label;
    tRawCpu Raw;
    std::uint8_t MultiplierMethod;
    std::uint8_t BusFactor;
  };
  const std::vector<tCase> cases = {
      {"Katmai", Cpu(6, 7, 3, 512), kUnchanged, kUnchanged},
      {"Coppermine", Cpu(6, 8, 3), 3, 1},
      {"Geyserville", Cpu(6, 9, 5), kUnchanged, 1},
      {"Banias 0x12", Cpu(6, 9, 5).BrandId(0x12), 7, 4},
      {"Banias 0x16", Cpu(6, 9, 5).BrandId(0x16), 7, 4},
      {"Cascades", Cpu(6, 10, 1), 3, 1},
      {"Tualatin", Cpu(6, 11, 1), 4, 1},
      {"Dothan 12", Cpu(6, 12, 6), 7, 4},
      {"Dothan 13", Cpu(6, 13, 6), 7, 4},
      {"Yonah", Cpu(6, 14, 8), 7, 4},
      {"family 6, extended model 1", Cpu(6, 8, 3).ExtendedFamilyModel(0, 1), kUnchanged,
       kUnchanged},
      {"Willamette 0", Cpu(15, 0, 7), 5, 4},
      {"Willamette 1", Cpu(15, 1, 2), 5, 4},
      {"Northwood", Cpu(15, 2, 4, 512), 6, 4},
      {"Prescott", Cpu(15, 3, 4, 1024), 6, 4},
      {"model 4 without a row", Cpu(15, 4, 10, 2048), 6, 4},
      {"model 6", Cpu(15, 6, 5, 512), kUnchanged, kUnchanged},
      {"McKinley", Cpu(15, 0, 7).ExtendedFamilyModel(1, 0).StdEdxBit(kIa64Bit), kUnchanged,
       kUnchanged},
      {"extended family 1 without IA64", Cpu(15, 2, 4).ExtendedFamilyModel(1, 0), kUnchanged,
       kUnchanged},
      {"Pentium", Cpu(5, 2, 12), kUnchanged, kUnchanged},
  };
  std::vector<tRawCpu> cpus;
  for (const tCase& c : cases)
    cpus.push_back(c.Raw);
  const auto e = Identified(cpus);
  for (unsigned k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].Label);
    e->MultiplierMethod[k] = kUnchanged;
    e->Clocks[k].BusFactor = kUnchanged;
    e->NameProcessor(k);
    EXPECT_EQ(e->MultiplierMethod[k], cases[k].MultiplierMethod);
    EXPECT_EQ(e->Clocks[k].BusFactor, cases[k].BusFactor);
  }
}

TEST(NameIntel, SetsSpeedStepForPentiumMOnly) {
  struct tCase {
    const char* Label;
    tRawCpu Raw;
    std::uint8_t SpeedStep;
  };
  const std::vector<tCase> cases = {
      {"Geyserville without FID/VID", Cpu(6, 9, 5), 1},
      {"Banias", Cpu(6, 9, 5).BrandId(0x16), 1},
      {"Dothan 12", Cpu(6, 12, 6), 1},
      {"Dothan 13", Cpu(6, 13, 6), 1},
      {"Yonah without FID/VID", Cpu(6, 14, 8), 0},
      {"Yonah with FID and VID", Cpu(6, 14, 8).PowerManagement(kFidVid), 1},
      {"Coppermine with FID only", Cpu(6, 8, 3).PowerManagement(0x2), 0},
      {"model 9, extended model 1", Cpu(6, 9, 5).ExtendedFamilyModel(0, 1), 0},
      {"model 13, extended model 1, FID and VID",
       Cpu(6, 13, 6).ExtendedFamilyModel(0, 1).PowerManagement(kFidVid), 1},
  };
  std::vector<tRawCpu> cpus;
  for (const tCase& c : cases)
    cpus.push_back(c.Raw);
  const auto e = Identified(cpus);
  for (unsigned k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].Label);
    EXPECT_EQ(e->CPUfeatures[k].SpeedStep, cases[k].SpeedStep);
  }
}

TEST(NameIntel, PresetsLevel1AndClearsLevel2ForCachelessModels) {
  // Processors without leaf 2: the cache decoder leaves level 1 empty and level 2 present.
  const auto e =
      Identified({tRawCpu::Intel(5, 1, 7), tRawCpu::Intel(5, 4, 3), tRawCpu::Intel(4, 8, 0),
                  tRawCpu::Intel(4, 6, 0), tRawCpu::Intel(5, 5, 0), Cpu(6, 8, 3)});
  // Fields a preset does not name keep what they hold.
  for (unsigned k = 0; k < 6; ++k) {
    e->level1[k].ITLB2MEntries = 7;
    e->level1[k].DCacheSize = 7;
    e->NameProcessor(k);
  }

  tlevel1 p5{};
  p5.ICacheSize = 8, p5.ICacheAssoc = 2, p5.ICacheLine = 32;
  p5.DCacheSize = 8, p5.DCacheAssoc = 2, p5.DCacheLine = 32;
  p5.ITLB4KEntries = 32, p5.ITLB4KAssoc = 4, p5.ITLB2MEntries = 7;
  p5.DTLB4KEntries = 64, p5.DTLB4KAssoc = 4, p5.DTLB2MEntries = 8, p5.DTLB2MAssoc = 4;
  tlevel1 mmx{};
  mmx.ICacheSize = 16, mmx.ICacheAssoc = 4, mmx.ICacheLine = 32;
  mmx.DCacheSize = 16, mmx.DCacheAssoc = 4, mmx.DCacheLine = 32;
  mmx.ITLB4KEntries = 32, mmx.ITLB4KAssoc = 255, mmx.ITLB2MEntries = 32, mmx.ITLB2MAssoc = 255;
  mmx.DTLB4KEntries = 64, mmx.DTLB4KAssoc = 255, mmx.DTLB2MEntries = 64, mmx.DTLB2MAssoc = 255;
  tlevel1 dx4{};
  dx4.ICacheSize = 16, dx4.ITLB2MEntries = 7, dx4.DCacheSize = 7;
  tlevel1 untouched{};
  untouched.ITLB2MEntries = 7, untouched.DCacheSize = 7;

  const tlevel1 expected[] = {p5, mmx, dx4, untouched, untouched};
  const std::uint8_t present[] = {0, 0, 0, 1, 1, 1};
  for (unsigned k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    if (k < 5) {
      EXPECT_EQ(Fields(e->level1[k]), Fields(expected[k]));
    }
    EXPECT_EQ(e->level2[k].Present, present[k]);
  }
}

TEST(NameIntel, SecondNamingKeepsWhatThePathLeaves) {
  const auto e = Identified({Cpu(6, 7, 3, 512), Cpu(6, 8, 3),
                             Cpu(6, 14, 8).ExtendedFamilyModel(0, 1), Cpu(3, 0, 0), Cpu(8, 0, 0)});
  // Katmai, then the same slot seen with 1 MB: Tanner writes no process, count or size.
  e->level2[0].Size = 1024;
  EXPECT_TRUE(e->NameProcessor(0));
  EXPECT_EQ(e->nameinfo[0].CodeName.View(), "Tanner");
  EXPECT_EQ(e->nameinfo[0].TechProcess.View(), "CMOS 0,25\xB5m");
  EXPECT_EQ(e->nameinfo[0].TranQuantity.View(), "9.5M");
  EXPECT_EQ(e->nameinfo[0].DieSize.View(), "128 sqr. mm");

  // The revision is appended to the row's name, not to the previous pass's.
  EXPECT_TRUE(e->NameProcessor(1));
  EXPECT_EQ(e->nameinfo[1].CodeName.View(), "Coppermine (rev. B0)");

  // A newer processor, an 80386 (family-wide empty platform) and family 8: the rating and
  // every field no row assigns stay as they were.
  for (unsigned k = 2; k < 5; ++k) {
    e->nameinfo[k].CodeName = "before";
    e->nameinfo[k].Platform = "before";
    e->nameinfo[k].Rating = "before";
    e->nameinfo[k].LogoKey = 470;
    e->CPUfeatures[k].HTT = 1;
    EXPECT_TRUE(e->NameProcessor(k));
  }
  EXPECT_EQ(e->nameinfo[2].CodeName.View(), "before");
  EXPECT_EQ(e->nameinfo[2].Platform.View(), "before");
  EXPECT_EQ(e->nameinfo[3].CodeName.View(), "P9 (0,80\xB5m)");
  EXPECT_EQ(e->nameinfo[3].Platform.View(), "");
  EXPECT_EQ(e->nameinfo[4].Platform.View(), "before");
  for (unsigned k = 2; k < 5; ++k)
    EXPECT_EQ(e->nameinfo[k].Rating.View(), "before");
  // The final adjustments run for every Intel processor, matched by a table row or not.
  EXPECT_EQ(e->nameinfo[2].LogoKey, 475);
  EXPECT_EQ(e->nameinfo[3].LogoKey, 400);
  EXPECT_EQ(e->nameinfo[4].LogoKey, 475);
}

}  // namespace
