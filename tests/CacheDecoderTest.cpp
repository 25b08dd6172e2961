// Caches and TLBs from the leaf-2 descriptors and from the size leaves.
#include <gtest/gtest.h>

#include "tests/support/EngineFixtures.h"

namespace {

tRawCpu IntelWithLeaf2(unsigned family, std::uint32_t eax, std::uint32_t edx) {
  tRawCpu cpu = tRawCpu::Intel(family, 9, 1);  // models that no naming row presets
  cpu.MaxStandardLeaf(2).Leaf(2, {eax, 0, 0, edx});
  return cpu;
}

// An AMD capture on the size-leaf path with these leaf 0x80000005 and 0x80000006 values.
tRawCpu WithSizeLeaves(tRawCpu cpu, tCPUIDResult leaf5, tCPUIDResult leaf6) {
  cpu.MaxStandardLeaf(1).MaxExtendedLeaf(0x80000008);
  cpu.Leaf(0x80000005, leaf5).Leaf(0x80000006, leaf6);
  return cpu;
}

TEST(Descriptors, ApplyInOrderForASingleCoreTraceCacheProcessor) {
  // Descriptors 0x50, 0x5B, 0x66, 0x40, 0x70, 0x7A.
  const auto e = Identified({IntelWithLeaf2(15, 0x665B5001, 0x007A7040)});
  const tlevel1& l1 = e->level1[0];
  const tlevel2& l2 = e->level2[0];
  EXPECT_EQ(l1.ITLB4KEntries, 64);
  EXPECT_EQ(l1.ITLB2MEntries, 64);
  EXPECT_EQ(l1.ITLB4KAssoc, 255);
  EXPECT_EQ(l1.ITLB2MAssoc, 255);
  EXPECT_EQ(l1.DTLB4KEntries, 64);
  EXPECT_EQ(l1.DTLB2MEntries, 64);
  EXPECT_EQ(l1.DTLB4KAssoc, 255);
  EXPECT_EQ(l1.DTLB2MAssoc, 255);
  EXPECT_EQ(l1.DCacheSize, 8);
  EXPECT_EQ(l1.DCacheAssoc, 4);
  EXPECT_EQ(l1.DCacheLine, 64);
  EXPECT_EQ(l1.TraceCache, 1);
  EXPECT_EQ(l1.ICacheSize, 12);
  EXPECT_EQ(l1.ICacheAssoc, 8);
  EXPECT_EQ(l1.ICacheLine, 6);
  EXPECT_EQ(l2.Present, 1);
  EXPECT_EQ(l2.Size, 256);
  EXPECT_EQ(l2.Assoc, 8);
  EXPECT_EQ(l2.LineSize, 64);
  EXPECT_EQ(e->level3[0].Present, 0);
  // EAX bytes 1 to 3, then EBX, ECX and EDX from their low bytes up.
  const std::array<std::uint16_t, 16> words = {0x50, 0x5B, 0x66, 0,    0,    0,    0, 0,
                                               0,    0,    0,    0x40, 0x70, 0x7A, 0, 0};
  EXPECT_EQ(e->CacheDescriptors[0], words);
}

TEST(Descriptors, NoFurtherCacheDependsOnTheFamily) {
  struct Case {
    unsigned family;
    std::uint8_t l2Present;
    std::uint8_t l3Present;
  };
  // 0x22 (a level-3 cache) comes before 0x40, so 0x40 decides what remains present.
  const Case cases[] = {{6, 0, 1}, {15, 1, 0}, {5, 1, 1}};
  for (const Case& c : cases) {
    const auto e = Identified({IntelWithLeaf2(c.family, 0x40227A01, 0)});
    EXPECT_EQ(e->level2[0].Present, c.l2Present) << "family " << c.family;
    EXPECT_EQ(e->level3[0].Present, c.l3Present) << "family " << c.family;
    EXPECT_EQ(e->level2[0].Size, 256) << "the level-2 fields stay filled";
  }
}

TEST(Descriptors, KindsWriteTheirOwnFieldsOnly) {
  // 0x71 sets a line of 8, the later 0x72 leaves it; 0x22 is sectored, 0x88 is not and
  // leaves the sector count of the earlier row; 0x01 then 0xB0 overwrite the code TLB.
  tRawCpu cpu = tRawCpu::Intel(15, 4, 1);
  cpu.Descriptors({0x71, 0x72, 0x22, 0x88, 0x01, 0xB0, 0x02, 0x04, 0xFF, 0x00, 0x0A, 0x08});
  const auto e = Identified({cpu});
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ICacheSize, 16);  // 0x08 came last
  EXPECT_EQ(l1.ICacheAssoc, 4);
  EXPECT_EQ(l1.ICacheLine, 32);
  EXPECT_EQ(l1.TraceCache, 1) << "a later plain instruction cache does not clear the mark";
  EXPECT_EQ(l1.DCacheSize, 8);
  EXPECT_EQ(l1.DCacheAssoc, 2);
  EXPECT_EQ(l1.ITLB4KEntries, 128);
  EXPECT_EQ(l1.ITLB4KAssoc, 4);
  EXPECT_EQ(l1.ITLB2MEntries, 2);
  EXPECT_EQ(l1.ITLB2MAssoc, 255);
  EXPECT_EQ(l1.DTLB2MEntries, 8);
  EXPECT_EQ(l1.DTLB2MAssoc, 4);
  const tlevel3& l3 = e->level3[0];
  EXPECT_EQ(l3.Present, 1);
  EXPECT_EQ(l3.Size, 2048);
  EXPECT_EQ(l3.Assoc, 4);
  EXPECT_EQ(l3.LinesPerSector, 2);
}

TEST(Descriptors, TraceCacheWithoutLineKeepsTheEarlierLine) {
  tRawCpu cpu = tRawCpu::Intel(15, 3, 4);
  cpu.Descriptors({0x30, 0x72});
  const auto e = Identified({cpu});
  EXPECT_EQ(e->level1[0].ICacheSize, 32);
  EXPECT_EQ(e->level1[0].ICacheLine, 64);
  EXPECT_EQ(e->level1[0].TraceCache, 1);
}

TEST(Descriptors, AreReadOnlyForGenuineIntelWithLeaf2) {
  tRawCpu other;
  other.Vendor("CentaurHauls").Signature(6, 9, 8).Descriptors({0x7A});
  EXPECT_EQ(Identified({other})->level2[0].Size, 0);

  tRawCpu noLeaf2 = tRawCpu::Intel(6, 5, 1);
  noLeaf2.Leaf(2, {0x7A01, 0, 0, 0});  // maximum standard leaf stays 1
  EXPECT_EQ(Identified({noLeaf2})->level2[0].Size, 0);
}

TEST(Descriptors, TraceMarkIsClearedByEveryIdentification) {
  auto e = Identified({IntelWithLeaf2(15, 0x7001, 0)});
  ASSERT_EQ(e->level1[0].TraceCache, 1);
  e->CPUdata[0].StdLeaf[2] = {0x3001, 0, 0, 0};
  e->DecodeCaches();
  EXPECT_EQ(e->level1[0].TraceCache, 0);
  EXPECT_EQ(e->level1[0].ICacheSize, 32);
}

TEST(SizeLeaves, FillLevel1AsTheyStandAndTranslateLevel2Codes) {
  // An Athlon XP: 0x80000005 and 0x80000006 as the processor reports them.
  const auto e = Identified(
      {WithSizeLeaves(tRawCpu::Amd(6, 8, 1), {0x0408FF08, 0xFF20FF10, 0x40020140, 0x40020140},
                      {0x00000000, 0x41004100, 0x01008140, 0})});
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ITLB2MAssoc, 255);
  EXPECT_EQ(l1.ITLB2MEntries, 8);
  EXPECT_EQ(l1.DTLB2MAssoc, 4);
  EXPECT_EQ(l1.DTLB2MEntries, 8);
  EXPECT_EQ(l1.ITLB4KAssoc, 255);
  EXPECT_EQ(l1.ITLB4KEntries, 16);
  EXPECT_EQ(l1.DTLB4KAssoc, 255);
  EXPECT_EQ(l1.DTLB4KEntries, 32);
  EXPECT_EQ(l1.DCacheSize, 64);
  EXPECT_EQ(l1.DCacheAssoc, 2);
  EXPECT_EQ(l1.DCacheLinesPerTag, 1);
  EXPECT_EQ(l1.DCacheLine, 64);
  EXPECT_EQ(l1.ICacheSize, 64);
  const tlevel2& l2 = e->level2[0];
  EXPECT_EQ(l2.ITLB4KAssoc, 4);
  EXPECT_EQ(l2.ITLB4KEntries, 256);
  EXPECT_EQ(l2.DTLB4KAssoc, 4);
  EXPECT_EQ(l2.DTLB4KEntries, 256);
  EXPECT_EQ(l2.ITLB2MAssoc, 0);
  EXPECT_EQ(l2.Size, 256);
  EXPECT_EQ(l2.Assoc, 16);
  EXPECT_EQ(l2.LinesPerTag, 1);
  EXPECT_EQ(l2.LineSize, 64);
}

TEST(SizeLeaves, Level2CacheRulesByIdentity) {
  struct Case {
    const char* what;
    tRawCpu cpu;
    std::uint32_t ecx;
    std::uint16_t size, assoc, linesPerTag, lineSize;
  };
  const tRawCpu centaur7 = tRawCpu().Vendor("CentaurHauls").Signature(6, 7, 3);
  const tRawCpu centaur91 = tRawCpu().Vendor("CentaurHauls").Signature(6, 9, 1);
  const Case cases[] = {
      {"16-way, 512 KB", tRawCpu::Amd(15, 4, 8), 0x02008140, 512, 16, 1, 64},
      {"Duron stepping 0 reporting 1 KB", tRawCpu::Amd(6, 3, 0), 0x00018140, 64, 16, 1, 64},
      {"Duron stepping 1 keeps 1 KB", tRawCpu::Amd(6, 3, 1), 0x00018140, 1, 16, 1, 64},
      {"Duron stepping 0 reporting 64 KB", tRawCpu::Amd(6, 3, 0), 0x00408140, 64, 16, 1, 64},
      {"Centaur model 7 in the level-1 layout", centaur7, 0x40100120, 64, 16, 1, 32},
      {"Centaur model 9 stepping 1 without a code", centaur91, 0x00400120, 64, 16, 1, 32},
      {"Centaur model 9 stepping 1 with a code", centaur91, 0x00404120, 64, 4, 1, 32},
      {"fully associative", tRawCpu::Amd(15, 4, 8), 0x0400F140, 1024, 255, 1, 64},
  };
  for (const Case& c : cases) {
    tRawCpu cpu = c.cpu;
    const auto e = Identified({WithSizeLeaves(cpu, {}, {0, 0, c.ecx, 0})});
    const tlevel2& l2 = e->level2[0];
    EXPECT_EQ(l2.Size, c.size) << c.what;
    EXPECT_EQ(l2.Assoc, c.assoc) << c.what;
    EXPECT_EQ(l2.LinesPerTag, c.linesPerTag) << c.what;
    EXPECT_EQ(l2.LineSize, c.lineSize) << c.what;
  }
}

TEST(SizeLeaves, UnknownAssociativityCodesStoreNothing) {
  // Code 10 in every level-2 associativity place. The cache decoder alone: an identification
  // completes the fields it leaves at 0.
  auto e = Identified(
      {WithSizeLeaves(tRawCpu::Amd(15, 4, 8), {}, {0xA000A000, 0xA000A000, 0x0200A140, 0})});
  e->level2[0] = {};
  e->DecodeCaches();
  EXPECT_EQ(e->level2[0].Assoc, 0);
  EXPECT_EQ(e->level2[0].DTLB2MAssoc, 0);
  EXPECT_EQ(e->level2[0].ITLB4KAssoc, 0);

  // On a later identification the earlier values stay.
  e->CPUdata[0].ExtLeaf[6] = {0x40004000, 0x40004000, 0x02004140, 0};
  e->DecodeCaches();
  ASSERT_EQ(e->level2[0].Assoc, 4);
  e->CPUdata[0].ExtLeaf[6] = {0xA000A000, 0xA000A000, 0x0200A140, 0};
  e->DecodeCaches();
  EXPECT_EQ(e->level2[0].Assoc, 4);
  EXPECT_EQ(e->level2[0].DTLB2MAssoc, 4);
  EXPECT_EQ(e->level2[0].ITLB4KAssoc, 4);
}

TEST(SizeLeaves, NeedLeaf0x80000006AndNoLeaf2) {
  tRawCpu withLeaf2 = WithSizeLeaves(tRawCpu::Amd(15, 4, 8), {}, {0, 0, 0x02008140, 0});
  withLeaf2.MaxStandardLeaf(2);
  // The cache decoder alone: an identification completes the level-2 record from the same
  // leaf.
  const auto e = Identified({withLeaf2});
  e->level2[0] = {};
  e->DecodeCaches();
  EXPECT_EQ(e->level2[0].Size, 0);

  tRawCpu short5 = WithSizeLeaves(tRawCpu::Amd(6, 4, 2), {}, {0, 0, 0x01008140, 0});
  short5.MaxExtendedLeaf(0x80000005);
  EXPECT_EQ(Identified({short5})->level2[0].Size, 0);
}

TEST(CacheSlots, EverySlotIsDecodedAndEmptySlotsOnlyGetTheirFlags) {
  const tRawCpu amd = WithSizeLeaves(tRawCpu::Amd(15, 4, 8), {}, {0, 0, 0x02008140, 0});
  const auto two = Identified({amd, IntelWithLeaf2(15, 0x7B01, 0)});
  EXPECT_EQ(two->level2[0].Size, 512);
  EXPECT_EQ(two->level2[1].Size, 512);
  EXPECT_EQ(two->level2[1].Assoc, 8);
  for (unsigned slot = 2; slot < 8; ++slot) {
    EXPECT_EQ(two->level2[slot].Present, 1) << slot;
    EXPECT_EQ(two->level2[slot].Size, 0) << slot;
    EXPECT_EQ(two->level1[slot].DCacheSize, 0) << slot;
  }

  std::vector<tRawCpu> ten(10, amd);
  const auto e = Identified(ten);
  ASSERT_EQ(e->SlotCount(), 10u);
  EXPECT_EQ(e->level2[8].Size, 512);
  EXPECT_EQ(e->level2[9].Size, 512);
}

}  // namespace
