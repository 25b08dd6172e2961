// Decoded records of recorded processors, read from their dumps the way --load reads them.
// Each expectation is worked out by hand from the registers quoted beside it.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/EngineFixtures.h"

namespace {

TEST(FixtureDecoding, Pentium4WithTraceCacheFromLeaf2) {
  const auto e = IdentifiedFixture("intel-pentium-4-cpu-3.20ghz.txt");
  // Leaf 1: EAX 00000F34, EBX 01020800, ECX 0000441D, EDX BFEBFBFF.
  const tCPUid_m& id = e->CPUid_m[0];
  EXPECT_EQ(id.Vendor, "GenuineIntel");
  EXPECT_EQ(id.Family, 15);
  EXPECT_EQ(id.Model, 3);
  EXPECT_EQ(id.Stepping, 4);
  EXPECT_EQ(id.LogicalCPUs, 2);
  EXPECT_EQ(id.APICID, 1);
  // 0x80000002..4: fourteen spaces, then the name; the last EDX (007A4847) is not 0.
  EXPECT_EQ(id.BrandString.View(),
            std::string(14, ' ') + "Intel(R) Pentium(R) 4 CPU 3.20GHz" + std::string(1, '\0'));
  const tCPUfeatures& f = e->CPUfeatures[0];
  EXPECT_EQ(f.HTT, 1);   // EDX bit 28 with 2 logical processors
  EXPECT_EQ(f.IA64, 0);  // EDX bit 30 clear
  EXPECT_EQ(f.SSE3, 1);  // ECX bit 0
  EXPECT_EQ(f.APIC, 1);
  EXPECT_EQ(f.Cores, 1);  // 0x80000008 ECX 0
  EXPECT_EQ(e->FeaturesFlags[0].StdECX.Valid, 1);
  EXPECT_EQ(e->FeaturesFlags[0].ExtEDX.Valid, 0);  // 0x80000001 EDX is 0
  // Leaf 2: 605B5001, EDX 007C7040: 0x50, 0x5B, 0x60, then 0x40, 0x70, 0x7C.
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ITLB4KEntries, 64);
  EXPECT_EQ(l1.DTLB2MAssoc, 255);
  EXPECT_EQ(l1.DCacheSize, 16);
  EXPECT_EQ(l1.DCacheAssoc, 8);
  EXPECT_EQ(l1.TraceCache, 1);
  EXPECT_EQ(l1.ICacheSize, 12);
  EXPECT_EQ(l1.ICacheLine, 6);
  EXPECT_EQ(e->level2[0].Size, 1024);
  EXPECT_EQ(e->level2[0].Assoc, 8);
  EXPECT_EQ(e->level3[0].Present, 0);  // 0x40 on family 15
}

TEST(FixtureDecoding, Samuel2ReportsItsLevel2CacheInTheLevel1Layout) {
  const auto e = IdentifiedFixture("via-samuel-2.txt");
  EXPECT_EQ(e->FlagBrand[0], tVendor::centaur);
  // 0x80000002: 20414956 756D6153 32206C65 00000000, then two leaves of zeros.
  EXPECT_EQ(e->CPUid_m[0].BrandString.View(), "VIA Samuel 2" + std::string(24, '\0'));
  // 0x80000001 EDX 80803135: 3DNow! (bit 31); Ext. MMX is bit 22 here, and clear.
  EXPECT_EQ(e->CPUfeatures[0].TDNow, 1);
  EXPECT_EQ(e->CPUfeatures[0].ExtMMX, 0);
  EXPECT_EQ(e->CPUfeatures[0].APIC, 0);   // leaf 1 EDX 00803135 bit 9
  EXPECT_EQ(e->CPUfeatures[0].Cores, 1);  // maximum extended leaf 0x80000006
  // 0x80000005: EBX 08800880, ECX and EDX 40040120.
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ITLB4KAssoc, 8);
  EXPECT_EQ(l1.ITLB4KEntries, 128);
  EXPECT_EQ(l1.DTLB4KEntries, 128);
  EXPECT_EQ(l1.DCacheSize, 64);
  EXPECT_EQ(l1.DCacheAssoc, 4);
  EXPECT_EQ(l1.DCacheLinesPerTag, 1);
  EXPECT_EQ(l1.ICacheLine, 32);
  // 0x80000006 ECX 40040120 on family 6 model 7: 64 KB, 4 ways as they stand.
  const tlevel2& l2 = e->level2[0];
  EXPECT_EQ(l2.Size, 64);
  EXPECT_EQ(l2.Assoc, 4);
  EXPECT_EQ(l2.LinesPerTag, 1);
  EXPECT_EQ(l2.LineSize, 32);
}

TEST(FixtureDecoding, Athlon64X2FromTheSizeLeaves) {
  const auto e = IdentifiedFixture("amd-athlon-64-x2-dual-core-processor-5200plus.txt");
  // 0x80000001: EAX 00060FB2, EBX 000008DB, EDX EBD3FBFF.
  const tCPUid_m& id = e->CPUid_m[0];
  EXPECT_EQ(id.XFamily, 15);
  EXPECT_EQ(id.XModel, 11);
  EXPECT_EQ(id.XExtModel, 6);
  EXPECT_EQ(id.XBrandID, 0x8DB);
  EXPECT_EQ(id.XBrandHigh, 8);
  EXPECT_EQ(id.XBrandLow, 3);
  EXPECT_EQ(id.AA64, 1);
  const tCPUfeatures& f = e->CPUfeatures[0];
  EXPECT_EQ(f.NX, 1);
  EXPECT_EQ(f.MP, 0);
  EXPECT_EQ(f.ExtMMX, 1);
  EXPECT_EQ(f.TDNowPlus, 1);
  EXPECT_EQ(f.Cores, 2);  // 0x80000008 ECX 1
  // 0x80000007 EDX 0000007F: all six capabilities.
  const tEPM& epm = e->EPM[0];
  EXPECT_EQ(epm.STC + epm.TM + epm.TTP + epm.VID + epm.FID + epm.TS, 6);
  // 0x80000005: EAX FF08FF08, EBX FF20FF20, ECX 40020140.
  const tlevel1& l1 = e->level1[0];
  EXPECT_EQ(l1.ITLB2MAssoc, 255);
  EXPECT_EQ(l1.ITLB2MEntries, 8);
  EXPECT_EQ(l1.DTLB4KEntries, 32);
  EXPECT_EQ(l1.DCacheSize, 64);
  EXPECT_EQ(l1.DCacheAssoc, 2);
  // 0x80000006: EBX 42004200 (code 4, 512 entries), ECX 02008140 (512 KB, code 8).
  const tlevel2& l2 = e->level2[0];
  EXPECT_EQ(l2.ITLB4KAssoc, 4);
  EXPECT_EQ(l2.ITLB4KEntries, 512);
  EXPECT_EQ(l2.DTLB4KAssoc, 4);
  EXPECT_EQ(l2.DTLB4KEntries, 512);
  EXPECT_EQ(l2.Size, 512);
  EXPECT_EQ(l2.Assoc, 16);
  EXPECT_EQ(l2.LineSize, 64);
}

TEST(FixtureDecoding, CyrixWithoutExtendedLeaves) {
  const auto e = IdentifiedFixture("cyrix-0000601-mii.txt");
  EXPECT_EQ(e->FlagBrand[0], tVendor::cyrix);
  EXPECT_TRUE(e->CPUid_m[0].BrandString.Empty());  // maximum extended leaf 0
  EXPECT_EQ(e->CPUfeatures[0].MMX, 1);             // leaf 1 EDX 0080A135
  const tFeaturesFlags& flags = e->FeaturesFlags[0];
  EXPECT_EQ(flags.StdEDX.Valid, 1);
  EXPECT_EQ(flags.StdECX.Valid, 0);
  EXPECT_EQ(flags.ExtEDX.Valid, 0);
  EXPECT_EQ(e->level2[0].Present, 1);
  EXPECT_EQ(e->level2[0].Size, 0);
  EXPECT_EQ(e->level1[0].DCacheSize, 0);
}

}  // namespace
