// The recorded Intel processors, named end to end from their dumps. Every expectation is
// worked out from the raw registers quoted beside it and the Intel table, row by row.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/EngineFixtures.h"

namespace {

// What naming must leave in the level-1 and level-2 records.
enum class tCaches {
  Unchecked,  // the table writes neither
  P5,         // Pentium preset, no level-2 cache
  Untouched,  // no descriptors and no row: level 1 empty, level 2 still present
};

struct tFixtureName {
  const char* File;
  const char* CodeName;
  const char* CpuName;
  std::uint16_t LogoKey;
  const char* Platform;
  const char* TechProcess;
  const char* TranQuantity;
  const char* DieSize;
  std::uint8_t MultiplierMethod;
  std::uint8_t BusFactor;
  std::uint8_t SpeedStep;
  tCaches Caches = tCaches::Unchecked;
};

constexpr const char* kP4 = "Intel Pentium-IV Processor";
constexpr const char* kCDO = "CMOS Cu 0,09\xB5m CDO";

// Leaf 1 EAX gives family 11..8, model 7..4, stepping 3..0, type 13..12, extended family
// 27..20 and extended model 19..16; the brand ID is leaf 1 EBX 7..0. Level-2 sizes come from
// the leaf-2 descriptor bytes (low byte of EAX skipped). HTT needs leaf 1 EDX bit 28 and
// EBX 23..16 >= 2; NX and the 64-bit flag are 0x80000001 EDX bits 20 and 29; SpeedStep
// starts as 0x80000007 EDX bits 1 and 2 both set, which no file here has.
const std::vector<tFixtureName> kIntelFixtures = {
    // EAX 0x517: family 5 model 1 stepping 7; max leaf 1, so no descriptors. Family 5 sets
    // Socket 7, the model-1 row overwrites it with Socket 4; P5 preset.
    {"intel-0000517-p5.txt", "P5", "Intel Pentium Processor", 410, "Socket 4", "BiCMOS 0,80\xB5m",
     "3.1M", "294 sqr. mm", 0, 0, 0, tCaches::P5},
    // EAX 0x52C: family 5 model 2 stepping 12; max leaf 1. Model-2 row leaves Socket 7.
    {"intel-000052c-p54c.txt", "P54", "Intel Pentium Processor", 410, "Socket 7",
     "BiCMOS 0,50\xB5m", "3.2M", "148 sqr. mm", 0, 0, 0, tCaches::P5},
    // EAX 0x570: family 5 model 7 stepping 0; max leaf 1. Model-7 row leaves Socket 7.
    {"intel-0000570-p54c.txt", "P54C", "Intel Pentium Processor", 410, "Socket 7",
     "BiCMOS 0,28\xB5m", "3.3M", "83 sqr. mm", 0, 0, 0, tCaches::P5},
    // EAX 0x596: family 5 model 9; leaf 2 holds no descriptor. No model-9 row: only the
    // family's Socket 7.
    {"intel-0000596-mintvalley-01.txt", "", "", 0, "Socket 7", "", "", "", 0, 0, 0,
     tCaches::Untouched},
    // EAX 0x1632: family 6 model 3, type 1 (OverDrive) -> POPD66X row.
    {"intel-0000632-p2od.txt", "POPD66X", "Intel Pentium-II Overdrive Processor", 425, "Socket 8",
     "CMOS 0,25\xB5m", "7.5M", "131 sqr. mm", 0, 0, 0},
    // EAX 0x651: family 6 model 5; leaf 2 EDX 0x0C040843, descriptor 0x43 = 512 KB L2, not 0
    // -> Deschutes.
    {"intel-0000651-p2-descuthes.txt", "Deschutes", "Intel Pentium-II Processor", 425, "Slot 1",
     "CMOS 0,25\xB5m", "7.5M", "131 sqr. mm", 0, 0, 0},
    // EAX 0x665: family 6 model 6 stepping 5; leaf 2 EDX 0x0C040841, 0x41 = 128 KB ->
    // Mendocino, stepping 5..9 -> Socket 370 (PGA).
    {"intel-0000665-p2-mendocino.txt", "Mendocino", "Intel Celeron A Processor", 430,
     "Socket 370 (PGA)", "CMOS 0,25\xB5m", "19M", "154 sqr. mm", 0, 0, 0},
    // EAX 0x673: family 6 model 7; leaf 2 EDX 0x0C040844, 0x44 = 1024 KB -> Tanner, which
    // writes no process, count or size.
    {"intel-0000673-p3-tanner.txt", "Tanner", "Intel Pentium-III Xeon Processor", 445, "Slot 2", "",
     "", "", 0, 0, 0},
    // EAX 0x683: family 6 model 8 stepping 3; leaf 2 EDX 0x0C040882, 0x82 = 256 KB ->
    // Coppermine, stepping 3 appends (rev. B0) and sets FCPGA. Model 8: hints 3 and 1.
    {"intel-0000683-p3-coppermine.txt", "Coppermine (rev. B0)", "Intel Pentium-III Processor", 435,
     "Socket 370 (FCPGA)", "CMOS Al 0,18\xB5m", "28.1M", "90 sqr. mm", 3, 1, 0},
    // EAX 0x6E4: family 6 model 14, extended model 0 -> Yonah; hints 7 and 4. HTT is set
    // (EDX bit 28, EBX 23..16 = 2) but the key is 450, not 470.
    {"intel-00006e4-pm-yonah.txt", "Yonah", "Intel Pentium M Processor", 450, "Socket 479",
     "CMOS Cu 0.065\xB5m", "", "", 7, 4, 0},
    // EAX 0xF29: family 15 model 2 stepping 9, brand ID 0x0A; leaf 2 EDX 0x003B7040, 0x3B =
    // 128 KB, 0x40 = no L3. Model 2 texts, hints 6 and 4; stepping 9 with 128 KB ->
    // Northwood/128K D1. Brand 0x0A is neither mobile ID.
    {"intel-celeron-cpu-2.50ghz.txt", "Northwood/128K D1", "Intel Celeron Processor", 430,
     "Socket 478", "CMOS Cu 0,13\xB5m", "55M", "131 sqr. mm", 6, 4, 0},
    // EAX 0xF65: family 15 model 6: the Intel table assigns nothing above model 4. The
    // code-name table: 0F65 Cedar Mill (InstLatx64, libcpuid), LGA775, 65 nm; the brand's
    // Celeron D line keeps its own picture, 495.
    {"intel-celeron-d-347.txt", "Cedar Mill", "Intel Celeron D", 495, "LGA775", "65 nm", "", "", 0,
     0, 0},
    // EAX 0x695: family 6 model 9, brand ID 0x14 -> Geyserville only; SpeedStep set;
    // BusFactor 1, multiplier method unchanged.
    {"intel-celeron-processor-600mhz.txt", "Geyserville", "Intel Pentium-III Mobile Processor", 440,
     "Mobile Module Connector 2", "CMOS Cu 0,13\xB5m", "", "", 0, 1, 1},
    // EAX 0x206A7: family 6 model 10 with extended model 2: newer than the family-6 table.
    // The code-name table: 6/2Ah Sandy Bridge (kernel SANDYBRIDGE), 32 nm; the brand's
    // Core i7 line, picture 520; the multiplier from IA32_PERF_STATUS (method 9).
    {"intel-core-i7-2600k-cpu.txt", "Sandy Bridge", "Intel Core i7", 520, "", "32 nm", "", "", 9, 0,
     0},
    // EAX 0x6E8: family 6 model 14 -> Yonah, as above.
    {"intel-cpu-t2400.txt", "Yonah", "Intel Pentium M Processor", 450, "Socket 479",
     "CMOS Cu 0.065\xB5m", "", "", 7, 4, 0},
    // EAX 0xF24: family 15 model 2 stepping 4, brand ID 0x09; leaf 2 EDX 0x007B7040, 0x7B =
    // 512 KB, 0x40 = no L3; no HTT (EBX 23..16 = 1) -> Northwood B0, key stays 470.
    {"intel-pentium-4-cpu-1.60ghz.txt", "Northwood B0", kP4, 470, "Socket 478", "CMOS Cu 0,13\xB5m",
     "55M", "131 sqr. mm", 6, 4, 0},
    // EAX 0xF0A: family 15 model 0 stepping 10, brand ID 0x08 (no Xeon ID) -> Socket 423,
    // hints 5 and 4, Willamette C1; no L3 (0x40), no HTT.
    {"intel-pentium-4-cpu-1700mhz.txt", "Willamette C1", kP4, 470, "Socket 423",
     "CMOS Al 0,18\xB5m", "42M", "217 sqr. mm", 5, 4, 0},
    // EAX 0xF34: family 15 model 3 stepping 4, brand ID 0; leaf 2 EDX 0x007C7040, 0x7C =
    // 1024 KB -> Prescott (rev. D0) with P4 and LGA 775; HTT (EBX 23..16 = 2) -> 475.
    {"intel-pentium-4-cpu-3.20ghz.txt", "Prescott (rev. D0)", kP4, 475, "LGA 775", kCDO, "125M",
     "112 sqr. mm", 6, 4, 0},
    // EAX 0x68A: family 6 model 8 stepping 10; 0x82 = 256 KB -> Coppermine, then stepping 10
    // -> Coppermine-T. Hints 3 and 1.
    {"intel-pentium-iii-coppermine.txt", "Coppermine-T", "Intel CeleronB Processor", 430,
     "BGA/Micro-PGA", "CMOS Al 0,18\xB5m", "28.1M", "90 sqr. mm", 3, 1, 0},
    // EAX 0x6D6: family 6 model 13, brand ID 0x16; leaf 2 EDX 0x2C04307D, 0x7D = 2048 KB ->
    // Pentium M by brand and by size: empty count and size. Hints 7 and 4, SpeedStep set.
    {"intel-pentium-m-processor-1.60ghz-6d6.txt", "Dothan", "Intel Pentium M Processor", 450,
     "Socket 479 uFCBGA", "CMOS Cu 0,09\xB5m Low-F IL", "", "", 7, 4, 1},
    // EAX 0xF25: family 15 model 2 stepping 5, brand ID 0x0B -> Prestonia: Socket 603/604,
    // count and size emptied, process from model 2. Key 500: no final adjustment.
    {"intel-xeon-cpu-2.40ghz.txt", "Prestonia", "Intel Xeon Processor", 500, "Socket 603/604",
     "CMOS Cu 0,13\xB5m", "", "", 6, 4, 0},
    // EAX 0xF43: family 15 model 4 stepping 3, brand ID 0 (no Potomac/Cranford row) ->
    // Prescott (N0); SpeedStep clear (0x80000007 EDX 0); HTT (EBX 23..16 = 2) -> 475.
    {"intel-xeon-cpu-3.20ghz-irwindale.txt", "Prescott (N0)", kP4, 475, "LGA 775", kCDO, "125M",
     "112 sqr. mm", 6, 4, 0},
    // EAX 0xF41: family 15 model 4 stepping 1, brand ID 0 (the 64-bit flag is set but the
    // brand is not 0x0C) -> Prescott (rev. E0). HTT is set, so no Prescott (E0) refinement;
    // HTT -> 475. Count and size are never written.
    {"intel-xeon-cpu-3.40ghz-cranford-dual.txt", "Prescott (rev. E0)", kP4, 475, "LGA 775", kCDO,
     "", "", 6, 4, 0},
    // EAX 0xF4A: family 15 model 4 stepping 10, brand ID 0: hints 6 and 4, no row. The
    // code-name table: 0F4A Irwindale (InstLatx64, libcpuid), 90 nm; the Xeon line of the
    // NetBurst parts, picture 500.
    {"intel-xeon-cpu-3.40ghz-irwindale-dual.txt", "Irwindale", "Intel Xeon", 500, "", "90 nm", "",
     "", 6, 4, 0},
    // EAX 0xF29: family 15 model 2 stepping 9, brand ID 0x0E; 0x7B = 512 KB -> Northwood D1,
    // then key 470 with brand 0x0E -> mobile Pentium 4, key 460.
    {"mobile-intel-pentium-4-m-cpu.txt", "Northwood D1", "Intel Pentium-IV Mobile Processor", 460,
     "Socket 478", "CMOS Cu 0,13\xB5m", "55M", "131 sqr. mm", 6, 4, 0},
};

bool IsIntelFixture(const std::string& name) {
  return name.starts_with("intel-") || name.starts_with("mobile-intel-");
}

TEST(FixtureNamesIntel, TableCoversEveryIntelDump) {
  std::vector<std::string> listed;
  for (const tFixtureName& f : kIntelFixtures)
    listed.push_back(f.File);
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> present = FixtureNames();
  std::erase_if(present, [](const std::string& name) { return !IsIntelFixture(name); });
  EXPECT_EQ(listed, present);
}

TEST(FixtureNamesIntel, NamesEveryIntelDump) {
  for (const tFixtureName& f : kIntelFixtures) {
    SCOPED_TRACE(f.File);
    const auto e = IdentifiedFixture(f.File);
    ExpectName(e->nameinfo[0], {f.CodeName, f.CpuName, "", f.LogoKey, f.Platform, f.TechProcess,
                                f.TranQuantity, f.DieSize});
    EXPECT_EQ(e->level2[0].UnitCount, 1);
    EXPECT_EQ(e->MultiplierMethod[0], f.MultiplierMethod);
    EXPECT_EQ(e->Clocks[0].BusFactor, f.BusFactor);
    EXPECT_EQ(e->CPUfeatures[0].SpeedStep, f.SpeedStep);

    const tlevel1& l1 = e->level1[0];
    switch (f.Caches) {
      case tCaches::P5:
        EXPECT_EQ(e->level2[0].Present, 0);
        EXPECT_EQ(l1.ICacheSize, 8);
        EXPECT_EQ(l1.ICacheAssoc, 2);
        EXPECT_EQ(l1.ICacheLine, 32);
        EXPECT_EQ(l1.DCacheSize, 8);
        EXPECT_EQ(l1.DCacheAssoc, 2);
        EXPECT_EQ(l1.DCacheLine, 32);
        EXPECT_EQ(l1.ITLB4KEntries, 32);
        EXPECT_EQ(l1.ITLB4KAssoc, 4);
        EXPECT_EQ(l1.ITLB2MEntries, 0);
        EXPECT_EQ(l1.ITLB2MAssoc, 0);
        EXPECT_EQ(l1.DTLB4KEntries, 64);
        EXPECT_EQ(l1.DTLB4KAssoc, 4);
        EXPECT_EQ(l1.DTLB2MEntries, 8);
        EXPECT_EQ(l1.DTLB2MAssoc, 4);
        break;
      case tCaches::Untouched:
        EXPECT_EQ(e->level2[0].Present, 1);
        EXPECT_EQ(l1.ICacheSize, 0);
        EXPECT_EQ(l1.DCacheSize, 0);
        EXPECT_EQ(l1.ITLB4KEntries, 0);
        EXPECT_EQ(l1.DTLB4KEntries, 0);
        break;
      case tCaches::Unchecked:
        break;
    }
  }
}

}  // namespace
