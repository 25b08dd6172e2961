// Caches and TLBs of today's processors, and the completion of the level records from them.
// Every expected value is worked out by hand from the registers quoted beside it; the
// listings the registers come from label their caches themselves ([L1D: 48 KB] ...).
#include "engine/decode/Caches.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "tests/support/EngineFixtures.h"

// Shown by GoogleTest when a comparison fails.
void PrintTo(const tCacheInfo& c, std::ostream* out) {
  *out << "L" << unsigned(c.Level) << " " << CacheTypeName(c.Type) << " " << c.SizeKB << " KB, "
       << c.Ways << (c.FullyAssociative ? " (fully)" : "") << " ways, " << c.LineBytes
       << " B lines, " << c.LinesPerTag << " per tag, " << c.Sets << " sets, shared by "
       << c.SharedBy;
}
void PrintTo(const tTlbInfo& t, std::ostream* out) {
  *out << "L" << unsigned(t.Level) << " " << TlbTypeName(t.Type) << " pages " << unsigned(t.Pages)
       << ", " << t.Entries << " entries, " << t.Ways << " ways";
}

namespace {

constexpr auto D = tCacheType::Data;
constexpr auto I = tCacheType::Instruction;
constexpr auto U = tCacheType::Unified;

tCacheInfo Cache(unsigned level, tCacheType type, std::uint32_t kb, std::uint16_t ways,
                 std::uint16_t line, std::uint32_t sets = 0, std::uint16_t sharedBy = 0) {
  tCacheInfo c;
  c.Level = static_cast<std::uint8_t>(level);
  c.Type = type;
  c.SizeKB = kb;
  c.Ways = ways;
  c.LineBytes = line;
  c.Sets = sets;
  c.SharedBy = sharedBy;
  return c;
}

tCacheInfo PerTag(tCacheInfo c, std::uint16_t linesPerTag) {
  c.LinesPerTag = linesPerTag;
  return c;
}

// Raptor Lake (IL GenuineIntel00B0671_RaptorLake_12): leaf 2 sends to leaves 4 and 0x18.
tCpuidStore RaptorLakeCore(bool efficiency) {
  if (!efficiency) {
    return StoreOf("GenuineIntel", 0x20,
                   {{2, 0, {0x00FEFF01, 0x000000F0, 0, 0}},
                    {4, 0, {0xFC004121, 0x02C0003F, 0x0000003F, 0}},  // [L1D: 48 KB]
                    {4, 1, {0xFC004122, 0x01C0003F, 0x0000003F, 0}},  // [L1I: 32 KB]
                    {4, 2, {0xFC01C143, 0x03C0003F, 0x000007FF, 0}},  // [L2U: 2 MB]
                    {4, 3, {0xFC1FC163, 0x02C0003F, 0x00007FFF, 4}},  // [L3U: 24 MB]
                    {4, 4, {0, 0, 0, 0}}});
  }
  return StoreOf("GenuineIntel", 0x20,
                 {{2, 0, {0x00FEFF01, 0x000000F0, 0, 0}},
                  {4, 0, {0xFC004121, 0x01C0003F, 0x0000003F, 0}},  // [L1D: 32 KB]
                  {4, 1, {0xFC004122, 0x01C0003F, 0x0000007F, 0}},  // [L1I: 64 KB]
                  {4, 2, {0xFC01C143, 0x03C0003F, 0x00000FFF, 0}},  // [L2U: 4 MB]
                  {4, 3, {0xFC1FC163, 0x02C0003F, 0x00007FFF, 4}},  // [L3U: 24 MB]
                  {4, 4, {0, 0, 0, 0}},
                  {0x18, 0, {4, 0, 0, 0}},
                  {0x18, 1, {0, 0x00300001, 0x00000001, 0x00000121}},
                  {0x18, 2, {0, 0x00040003, 0x00000200, 0x00000043}},
                  {0x18, 3, {0, 0x00400001, 0x00000001, 0x00000122}},
                  {0x18, 4, {0, 0x00080008, 0x00000001, 0x00000143}}});
}

// Phenom II (IL AuthenticAMD0100F42_K10_Deneb): five standard leaves, so the level records'
// size-leaf rule never reached it.
tCpuidStore Deneb() {
  return StoreOf("AuthenticAMD", 5,
                 {{1, 0, {0x00100F42, 0, 0, 0}},
                  {0x80000000, 0, {0x8000001B, 0, 0, 0}},
                  {0x80000001, 0, {0x00100F42, 0x10001A86, 0x000037FF, 0xEFD3FBFF}},
                  {0x80000005, 0, {0xFF30FF10, 0xFF30FF20, 0x40020140, 0x40020140}},
                  {0x80000006, 0, {0x20800000, 0x42004200, 0x02008140, 0x0030B140}},
                  {0x80000019, 0, {0xF0300000, 0x60100000, 0, 0}}});
}

TEST(Caches, DeterministicLeafGivesEachCoreKindItsOwnCaches) {
  // Ways EBX 31..22 + 1, partitions 21..12 + 1, line 11..0 + 1, sets ECX + 1; shared by EAX
  // 25..14 + 1: 0xFC004121 -> 2, 0xFC01C143 -> 8, 0xFC1FC163 -> 128.
  const tCacheReport p = CachesOf(RaptorLakeCore(false));
  EXPECT_EQ(p.Source, tCacheSource::DeterministicLeaf);
  EXPECT_EQ(p.Caches, (std::vector<tCacheInfo>{
                          Cache(1, D, 48, 12, 64, 64, 2),  // 12 * 64 * 64
                          Cache(1, I, 32, 8, 64, 64, 2),
                          Cache(2, U, 2048, 16, 64, 2048, 8),
                          Cache(3, U, 24576, 12, 64, 32768, 128),
                      }));
  const tCacheReport e = CachesOf(RaptorLakeCore(true));
  EXPECT_EQ(e.Caches, (std::vector<tCacheInfo>{
                          Cache(1, D, 32, 8, 64, 64, 2),
                          Cache(1, I, 64, 8, 64, 128, 2),
                          Cache(2, U, 4096, 16, 64, 4096, 8),
                          Cache(3, U, 24576, 12, 64, 32768, 128),
                      }));
}

TEST(Caches, TranslationLeafDescribesTheTlbsWhereLeaf2SendsThere) {
  // Ways EBX 31..16, pages EBX 3..0, sets ECX; EDX: type 4..0, level 7..5, fully bit 8.
  const tCacheReport e = CachesOf(RaptorLakeCore(true));
  EXPECT_EQ(e.Tlbs, (std::vector<tTlbInfo>{
                        {1, tTlbType::Data, kPage4K, 48, 0},  // 0x30 ways x 1 set, fully
                        {1, tTlbType::Instruction, kPage4K, 64, 0},
                        {2, tTlbType::Unified, kPage4K | kPage2M, 2048, 4},  // 4 x 0x200
                        {2, tTlbType::Unified, kPage1G, 8, 0},
                    }));
}

TEST(Caches, AmdCacheLeafNeedsTheTopologyExtensions) {
  // This machine: 0x8000001D as the Zen 4 guest reports it; 0x80000001 ECX bit 22.
  const std::initializer_list<tCpuidEntry> leaves{
      {0x80000000, 0, {0x80000021, 0, 0, 0}},
      {0x80000001, 0, {0x00A10F11, 0x40000000, 0x004003F3, 0x2FD3FBFF}},
      {0x80000006, 0, {0x5C002200, 0x6C004200, 0x04006140, 0x0A009140}},
      {0x8000001D, 0, {0x00000121, 0x01C0003F, 0x0000003F, 0}},
      {0x8000001D, 1, {0x00000122, 0x01C0003F, 0x0000003F, 0}},
      {0x8000001D, 2, {0x00000143, 0x01C0003F, 0x000007FF, 2}},
      {0x8000001D, 3, {0x00004163, 0x03C0003F, 0x00007FFF, 1}},
      {0x8000001D, 4, {0, 0, 0, 0}}};
  const tCacheReport zen = CachesOf(StoreOf("AuthenticAMD", 0x1C, leaves));
  EXPECT_EQ(zen.Source, tCacheSource::AmdCacheTopology);
  EXPECT_EQ(zen.Caches, (std::vector<tCacheInfo>{
                            Cache(1, D, 32, 8, 64, 64, 1), Cache(1, I, 32, 8, 64, 64, 1),
                            Cache(2, U, 1024, 8, 64, 2048, 1),
                            Cache(3, U, 32768, 16, 64, 32768, 2),  // 0x4163: 25..14 = 1
                        }));

  // Without the bit the size leaves speak: 0x80000006 EDX 0x0A009140 is 0x280 x 512 KB (bits
  // 31..18) with code 9, whose ways 0x8000001D gives as it was captured.
  tCpuidStore noExtensions = StoreOf("AuthenticAMD", 0x1C, leaves);
  noExtensions.Put(0x80000001, 0, {0x00A10F11, 0x40000000, 0x000003F3, 0x2FD3FBFF});
  const tCacheReport sizes = CachesOf(noExtensions);
  EXPECT_EQ(sizes.Source, tCacheSource::SizeLeaves);
  ASSERT_NE(sizes.Find(3, U), nullptr);
  EXPECT_EQ(*sizes.Find(3, U), PerTag(Cache(3, U, 327680, 16, 64), 1));
}

TEST(Caches, MagnyCoursGivesEachNodeHalfTheLevel3OfThePackage) {
  // Opteron 6100 engineering sample (IL AuthenticAMD0100F91_K10_MagnyCours; libcpuid
  // k10/magny-cours): 0x80000006 EDX 0x0050D140 = 20 x 512 KB, code D (96 ways), for the two
  // nodes of the package; each node has 10240 / 2 = 5120 KB in 96 / 2 = 48 ways. Istanbul
  // (model 8), one node, with the same register keeps all of it.
  struct tCase {
    std::uint32_t Signature;
    std::uint32_t SizeKB;
    std::uint16_t Ways;
  };
  const tCase cases[] = {{0x00100F91, 5120, 48}, {0x00100F81, 10240, 96}};
  for (const tCase& c : cases) {
    tCpuidStore store = Deneb();
    store.Put(1, 0, {c.Signature, 0, 0, 0});
    store.Put(0x80000006, 0, {0x20800000, 0x42004200, 0x02008140, 0x0050D140});
    const tCacheReport report = CachesOf(store);
    ASSERT_NE(report.Find(3, U), nullptr);
    EXPECT_EQ(*report.Find(3, U), PerTag(Cache(3, U, c.SizeKB, c.Ways, 64), 1)) << c.Signature;
  }
  // The level-3 record holds the node's share.
  tlevel1 l1{};
  tlevel2 l2{};
  tlevel3 l3{};
  tCpuidStore magny = Deneb();
  magny.Put(1, 0, {0x00100F91, 0x000C0800, 0x00802009, 0x178BFBFF});
  magny.Put(0x80000006, 0, {0x20800000, 0x42004200, 0x02008140, 0x0050D140});
  CompleteLevelRecords(CachesOf(magny), l1, l2, l3);
  EXPECT_EQ(l3.Size, 5120);
  EXPECT_EQ(l3.Assoc, 48);
}

TEST(Caches, SizeLeavesWithEveryAssociativityCode) {
  const tCacheReport k10 = CachesOf(Deneb());
  EXPECT_EQ(k10.Source, tCacheSource::SizeLeaves);
  EXPECT_EQ(k10.Caches, (std::vector<tCacheInfo>{
                            PerTag(Cache(1, D, 64, 2, 64), 1),     // ECX 40020140
                            PerTag(Cache(1, I, 64, 2, 64), 1),     // EDX 40020140
                            PerTag(Cache(2, U, 512, 16, 64), 1),   // 0200 8 1 40: code 8
                            PerTag(Cache(3, U, 6144, 48, 64), 1),  // 12 x 512 KB, code B
                        }));
  EXPECT_EQ(k10.Tlbs, (std::vector<tTlbInfo>{
                          {1, tTlbType::Data, kPage4K, 48, 0},  // EBX FF30FF20
                          {1, tTlbType::Instruction, kPage4K, 32, 0},
                          {1, tTlbType::Data, kPage2M | kPage4M, 48, 0},  // EAX FF30FF10
                          {1, tTlbType::Instruction, kPage2M | kPage4M, 16, 0},
                          {1, tTlbType::Data, kPage1G, 48, 0},   // 0x80000019 EAX F030 0000
                          {2, tTlbType::Data, kPage4K, 512, 4},  // EBX 4200 4200
                          {2, tTlbType::Instruction, kPage4K, 512, 4},
                          {2, tTlbType::Data, kPage2M | kPage4M, 128, 2},  // EAX 2080 0000
                          {2, tTlbType::Data, kPage1G, 16, 8},  // 0x80000019 EBX 6010 0000
                      }));

  struct tCodeCase {
    std::uint32_t Code;
    std::uint16_t Ways;
    bool Fully;
  };
  const tCodeCase codes[] = {
      {1, 1, false},    {2, 2, false},     {3, 3, false},    {4, 4, false},    {5, 6, false},
      {6, 8, false},    {8, 16, false},    {0xA, 32, false}, {0xB, 48, false}, {0xC, 64, false},
      {0xD, 96, false}, {0xE, 128, false}, {0xF, 0, true},   {9, 0, false},    {7, 0, false}};
  for (const tCodeCase& c : codes) {
    tCpuidStore store = Deneb();
    store.Put(0x80000006, 0, {0, 0, 0x02000140 | (c.Code << 12), 0});
    const tCacheReport report = CachesOf(store);
    const tCacheInfo* l2 = report.Find(2, U);
    ASSERT_NE(l2, nullptr) << c.Code;
    EXPECT_EQ(l2->Ways, c.Ways) << "code " << c.Code;
    EXPECT_EQ(l2->FullyAssociative, c.Fully) << "code " << c.Code;
  }
  // Code 0: the cache is off.
  tCpuidStore off = Deneb();
  off.Put(0x80000006, 0, {0, 0, 0x02000140, 0});
  EXPECT_EQ(CachesOf(off).Find(2, U), nullptr);
}

TEST(Caches, SizeLeafRulesOfFirstDuronAndEarlyVia) {
  // The first Duron (family 6 model 3 stepping 0) says 1 KB for its 64 KB.
  const tCacheReport duron = CachesOf(StoreOf("AuthenticAMD", 1,
                                              {{1, 0, {0x630, 0, 0, 0}},
                                               {0x80000000, 0, {0x80000008, 0, 0, 0}},
                                               {0x80000006, 0, {0, 0, 0x00018140, 0}}}));
  ASSERT_NE(duron.Find(2, U), nullptr);
  EXPECT_EQ(duron.Find(2, U)->SizeKB, 64);
  // VIA family 6 models 7 and 8 report the level-2 cache in the level-1 layout: 0x40100120 is
  // 64 KB, 16 ways, 1 line per tag, 32-byte lines.
  const tCacheReport samuel2 = CachesOf(StoreOf("CentaurHauls", 1,
                                                {{1, 0, {0x678, 0, 0, 0}},
                                                 {0x80000000, 0, {0x80000006, 0, 0, 0}},
                                                 {0x80000006, 0, {0, 0, 0x40100120, 0}}}));
  ASSERT_NE(samuel2.Find(2, U), nullptr);
  EXPECT_EQ(*samuel2.Find(2, U), PerTag(Cache(2, U, 64, 16, 32), 1));
}

TEST(Caches, DescriptorsOfIntelProcessorsBeforeLeaf4) {
  // A Pentium 4: 0x50 0x5B 0x66 in EAX, 0x40 0x70 0x7A in EDX; the trace cache holds 12 K
  // micro-operations, and 0x40 says there is no level-3 cache on family 15.
  const tCacheReport p4 = CachesOf(StoreOf(
      "GenuineIntel", 2, {{1, 0, {0xF29, 0, 0, 0}}, {2, 0, {0x665B5001, 0x0, 0x0, 0x007A7040}}}));
  EXPECT_EQ(p4.Source, tCacheSource::Descriptors);
  EXPECT_EQ(p4.Caches, (std::vector<tCacheInfo>{Cache(1, D, 8, 4, 64, 32),
                                                Cache(1, tCacheType::Trace, 12, 8, 0),
                                                Cache(2, U, 256, 8, 64, 512)}));
  EXPECT_EQ(p4.Tlbs, (std::vector<tTlbInfo>{
                         {1, tTlbType::Instruction, kPage4K | kPage2M | kPage4M, 64, 0},
                         {1, tTlbType::Data, kPage4K | kPage2M | kPage4M, 64, 0},
                     }));

  struct tCase {
    std::uint32_t Leaf1Eax;
    std::uint32_t Edx;
    std::vector<tCacheInfo> Expected;
    const char* Why;
  };
  const tCase cases[] = {
      {0xF65, 0x49, {Cache(3, U, 4096, 16, 64, 4096)}, "0x49 on family 15 model 6: level 3"},
      {0x6F6, 0x49, {Cache(2, U, 4096, 16, 64, 4096)}, "0x49 elsewhere: level 2"},
      {0x6F6, 0x80000049, {}, "bit 31 set: the register holds no descriptors"},
      {0x6F6, 0x40227A, {Cache(3, U, 512, 4, 64, 2048)}, "0x40 on family 6: no level 2"},
      {0x6F6, 0xEC, {Cache(3, U, 24576, 24, 64, 16384)}, "a descriptor the level records lack"},
  };
  for (const tCase& c : cases) {
    const tCacheReport r = CachesOf(
        StoreOf("GenuineIntel", 2, {{1, 0, {c.Leaf1Eax, 0, 0, 0}}, {2, 0, {1, 0, 0, c.Edx}}}));
    EXPECT_EQ(r.Caches, c.Expected) << c.Why;
  }
  // A register in the middle without descriptors: those of EAX (0x7A, past the repeat count) and
  // EDX (0x2C) stay, EBX's 0x49 goes.
  const tCacheReport middle = CachesOf(StoreOf(
      "GenuineIntel", 2, {{1, 0, {0x6F6, 0, 0, 0}}, {2, 0, {0x7A01, 0x80000049, 0, 0x2C}}}));
  EXPECT_EQ(middle.Caches,
            (std::vector<tCacheInfo>{Cache(1, D, 32, 8, 64, 64), Cache(2, U, 256, 8, 64, 512)}));
  // Only Intel's leaf 2 holds descriptors.
  EXPECT_TRUE(CachesOf(StoreOf("CyrixInstead", 2, {{2, 0, {0x7A01, 0, 0, 0}}})).Caches.empty());
}

TEST(Caches, LeafFourComesFirstAndALeafOutOfRangeIsNotRead) {
  tCpuidStore store = RaptorLakeCore(false);
  store.Put(2, 0, {0x7A01, 0, 0, 0});  // a 256 KB level-2 descriptor
  EXPECT_EQ(CachesOf(store).Source, tCacheSource::DeterministicLeaf);
  store.Put(0, 0, {3, 0x756E6547, 0x6C65746E, 0x49656E69});  // leaf 4 now out of range
  const tCacheReport limited = CachesOf(store);
  EXPECT_EQ(limited.Source, tCacheSource::Descriptors);
  EXPECT_EQ(limited.Caches, (std::vector<tCacheInfo>{Cache(2, U, 256, 8, 64, 512)}));
}

TEST(LevelRecords, FieldsTheCacheDecoderLeftAtZeroAreFilled) {
  tlevel1 l1;
  tlevel2 l2;
  tlevel3 l3;
  l1.DCacheSize = 16;  // filled by the cache decoder: stays
  l2.ITLB4KEntries = 7;
  CompleteLevelRecords(CachesOf(Deneb()), l1, l2, l3);
  EXPECT_EQ(l1.DCacheSize, 16);
  EXPECT_EQ(l1.DCacheAssoc, 2);
  EXPECT_EQ(l1.DCacheLine, 64);
  EXPECT_EQ(l1.DCacheLinesPerTag, 1);
  EXPECT_EQ(l1.ICacheSize, 64);
  EXPECT_EQ(l1.DTLB4KEntries, 48);
  EXPECT_EQ(l1.DTLB4KAssoc, 255);
  EXPECT_EQ(l1.ITLB2MEntries, 16);
  EXPECT_EQ(l2.Size, 512);
  EXPECT_EQ(l2.Assoc, 16);
  EXPECT_EQ(l2.ITLB4KEntries, 7);
  EXPECT_EQ(l2.ITLB4KAssoc, 4);
  EXPECT_EQ(l2.DTLB2MEntries, 128);
  EXPECT_EQ(l2.DTLB2MAssoc, 2);
  EXPECT_EQ(l2.ITLB2MEntries, 0);  // no such TLB
  EXPECT_EQ(l3.Present, 1);
  EXPECT_EQ(l3.Size, 6144);
  EXPECT_EQ(l3.Assoc, 48);
  EXPECT_EQ(l3.LineSize, 64);
}

TEST(LevelRecords, TraceCacheUnknownWaysAndLargeLevel3) {
  // A trace cache holds the instruction fields: a level-1 instruction cache does not fill them.
  tlevel1 trace;
  trace.TraceCache = 1;
  tlevel2 l2;
  tlevel3 l3;
  CompleteLevelRecords(CachesOf(RaptorLakeCore(false)), trace, l2, l3);
  EXPECT_EQ(trace.ICacheSize, 0);
  EXPECT_EQ(trace.DCacheSize, 48);
  EXPECT_EQ(l3.Size, 24576);

  // 0x80000006 EDX 0x0FE09140: 1016 x 512 KB, more than 16 bits of KB; code 9 without leaf
  // 0x8000001D leaves the ways unknown, so the field stays 0.
  tCpuidStore big = Deneb();
  big.Put(0x80000006, 0, {0, 0, 0, 0x0FE09140});
  tlevel1 l1;
  tlevel3 large;
  CompleteLevelRecords(CachesOf(big), l1, l2, large);
  EXPECT_EQ(large.Size, 520192);
  EXPECT_EQ(large.Assoc, 0);
  EXPECT_EQ(large.Present, 1);

  // Level-2 TLB fields of a TLB shared by code and data (0x18 on an efficiency core).
  tlevel1 e1;
  tlevel2 e2;
  tlevel3 e3;
  CompleteLevelRecords(CachesOf(RaptorLakeCore(true)), e1, e2, e3);
  EXPECT_EQ(e1.DTLB4KEntries, 48);
  EXPECT_EQ(e1.ITLB4KEntries, 64);
  EXPECT_EQ(e1.DTLB2MEntries, 0);
  EXPECT_EQ(e2.DTLB4KEntries, 2048);
  EXPECT_EQ(e2.ITLB2MEntries, 2048);
  EXPECT_EQ(e2.ITLB2MAssoc, 4);
}

TEST(LevelRecords, IdentificationCompletesThemForProcessorsTheCacheDecoderSkips) {
  // An AMD processor with more than one standard leaf: the cache decoder reads nothing.
  tRawCpu k10 = tRawCpu::Amd(15, 4, 2);
  k10.MaxStandardLeaf(5).MaxExtendedLeaf(0x80000008);
  k10.Leaf(0x80000005, {0xFF30FF10, 0xFF30FF20, 0x40020140, 0x40020140});
  k10.Leaf(0x80000006, {0x20800000, 0x42004200, 0x02008140, 0x0030B140});
  const auto e = Identified({k10});
  EXPECT_EQ(e->level1[0].DCacheSize, 64);
  EXPECT_EQ(e->level2[0].Size, 512);
  EXPECT_EQ(e->level3[0].Present, 1);
  EXPECT_EQ(e->level3[0].Size, 6144);
  EXPECT_EQ(e->CacheReports[0].Source, tCacheSource::SizeLeaves);
}

}  // namespace
