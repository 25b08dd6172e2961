// Vendor, signature, brand, feature and power-management decoding, through identification
// of replayed captures.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "tests/support/EngineFixtures.h"

namespace {

TEST(DecodeVendor, MatchesTheWholeTwelveCharacterString) {
  struct Case {
    std::string text;
    tVendor vendor;
  };
  const Case cases[] = {
      {"GenuineIntel", tVendor::intel},     {"UMC UMC UMC ", tVendor::umc},
      {"AuthenticAMD", tVendor::amd},       {"CyrixInstead", tVendor::cyrix},
      {"NexGenDriven", tVendor::nexgen},    {"CentaurHauls", tVendor::centaur},
      {"RiseRiseRise", tVendor::rise},      {"SiS SiS SiS ", tVendor::sis},
      {"GenuineTMx86", tVendor::transmeta}, {"Geode by NSC", tVendor::national},
  };
  for (const Case& c : cases) {
    tRawCpu cpu;
    cpu.Vendor(c.text);
    const auto e = Identified({cpu});
    EXPECT_EQ(e->FlagBrand[0], c.vendor) << c.text;
    EXPECT_EQ(e->CPUid_m[0].Vendor, c.text);
  }
}

TEST(DecodeVendor, AnUnknownStringKeepsTheEarlierVendor) {
  // Without its trailing space the UMC string is unknown: a fresh slot stays intel.
  tRawCpu umcWithoutSpace;
  umcWithoutSpace.Vendor(std::string("UMC UMC UMC\0", 12));
  auto e = Identified({umcWithoutSpace, tRawCpu::Amd(6, 8, 1)});
  EXPECT_EQ(e->FlagBrand[0], tVendor::intel);
  EXPECT_EQ(e->CPUid_m[0].Vendor, std::string_view("UMC UMC UMC\0", 12));

  // A slot that was amd stays amd when its string is later unknown.
  e->CPUdata[1].StdLeaf[0].EBX = 0x554E4B4E;  // "NKNU"
  e->DecodeVendor(1);
  EXPECT_EQ(e->FlagBrand[1], tVendor::amd);
}

TEST(DecodeIdentity, SplitsTheSignatureFields) {
  struct Case {
    std::uint32_t eax;
    std::uint32_t ebx;
    unsigned family, model, stepping, type, extFamily, extModel, brandId, logical, apic;
  };
  const Case cases[] = {
      {0x00000F29, 0, 15, 2, 9, 0, 0, 0, 0, 0, 0},
      {0x00001632, 0, 6, 3, 2, 1, 0, 0, 0, 0, 0},  // an OverDrive part
      {0x00000F29, 0x0201080E, 15, 2, 9, 0, 0, 0, 14, 1, 2},
      {0x00600F12, 0, 15, 1, 2, 0, 6, 0, 0, 0, 0},
      {0x000206A7, 0xFF10FF00, 6, 10, 7, 0, 0, 2, 0, 0x10, 0xFF},
      {0x0FF03000, 0, 0, 0, 0, 3, 0xFF, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const auto e = Identified({tRawCpu().Leaf(1, {c.eax, c.ebx, 0, 0})});
    const tCPUid_m& id = e->CPUid_m[0];
    SCOPED_TRACE(testing::Message() << std::hex << c.eax << " " << c.ebx);
    EXPECT_EQ(id.Family, c.family);
    EXPECT_EQ(id.Model, c.model);
    EXPECT_EQ(id.Stepping, c.stepping);
    EXPECT_EQ(id.CPUType, c.type);
    EXPECT_EQ(id.ExtFamily, c.extFamily);
    EXPECT_EQ(id.ExtModel, c.extModel);
    EXPECT_EQ(id.BrandID, c.brandId);
    EXPECT_EQ(id.LogicalCPUs, c.logical);
    EXPECT_EQ(id.APICID, c.apic);
  }
}

TEST(DecodeIdentity, SplitsTheExtendedSignatureAndBrandId) {
  tRawCpu cpu;
  cpu.MaxExtendedLeaf(0x80000001).Leaf(0x80000001, {0x07A40FF1, 0x00000F6B, 0, 1u << 29});
  const auto e = Identified({cpu});
  const tCPUid_m& id = e->CPUid_m[0];
  EXPECT_EQ(id.XExtFamily, 0x7A);
  EXPECT_EQ(id.XExtModel, 4);
  EXPECT_EQ(id.XFamily, 15);
  EXPECT_EQ(id.XModel, 15);
  EXPECT_EQ(id.XStepping, 1);
  EXPECT_EQ(id.XBrandID, 0xF6B);
  EXPECT_EQ(id.XBrandHigh, 0xF);
  EXPECT_EQ(id.XBrandLow, 1);
  EXPECT_EQ(id.AA64, 1);
}

TEST(BrandText, NeedsLeaf0x80000004AndKeepsSpacesAndNuls) {
  const std::string brand = "  AMD Athlon(tm) XP 2200+";
  tRawCpu cpu;
  cpu.Brand(brand);
  // The text ends at character 25: the EDX of the last two leaves is 0, so each of them
  // gives 12 characters, and the brand string 40.
  EXPECT_EQ(Identified({cpu})->CPUid_m[0].BrandString.View(),
            brand + std::string(40 - brand.size(), '\0'));

  cpu.MaxExtendedLeaf(0x80000003);
  EXPECT_TRUE(Identified({cpu})->CPUid_m[0].BrandString.Empty());

  // A leaf whose EDX is 0 gives 12 characters, so the text closes up.
  tRawCpu shortLeaves;
  shortLeaves.MaxExtendedLeaf(0x80000004)
      .Leaf(0x80000002, {0x41414141, 0x41414141, 0x41414141, 0})
      .Leaf(0x80000003, {0x42424242, 0x42424242, 0x42424242, 0x42424242})
      .Leaf(0x80000004, {0x43434343, 0, 0, 0});
  EXPECT_EQ(Identified({shortLeaves})->CPUid_m[0].BrandString,
            std::string(12, 'A') + std::string(16, 'B') + "CCCC" + std::string(8, '\0'));
}

TEST(DecodePowerMgmt, TakesTheSixLowBitsOfLeaf0x80000007) {
  tRawCpu cpu;
  cpu.MaxExtendedLeaf(0).Leaf(0x80000007, {0, 0, 0, 0xFFFFFF35});  // maximum leaf ignored
  const auto e = Identified({cpu});
  const tEPM& epm = e->EPM[0];
  EXPECT_EQ(epm.STC, 1);
  EXPECT_EQ(epm.TM, 1);
  EXPECT_EQ(epm.TTP, 0);
  EXPECT_EQ(epm.VID, 1);
  EXPECT_EQ(epm.FID, 0);
  EXPECT_EQ(epm.TS, 1);
}

TEST(DecodeFeatures, ReadsTheFlagsOfLeaves1And0x80000001) {
  tRawCpu cpu = tRawCpu::Amd(6, 8, 1);
  for (const unsigned bit : {9u, 23u, 25u, 26u, 28u, 30u})
    cpu.StdEdxBit(bit);
  cpu.StdEcxBit(0).LogicalCpus(2);
  for (const unsigned bit : {19u, 20u, 22u, 29u, 30u, 31u})
    cpu.ExtEdxBit(bit);
  const auto e = Identified({cpu});
  const tCPUfeatures& f = e->CPUfeatures[0];
  EXPECT_EQ(f.APIC, 1);
  EXPECT_EQ(f.MMX, 1);
  EXPECT_EQ(f.SSE, 1);
  EXPECT_EQ(f.SSE2, 1);
  EXPECT_EQ(f.HTT, 1);
  EXPECT_EQ(f.IA64, 1);
  EXPECT_EQ(f.SSE3, 1);
  EXPECT_EQ(f.MP, 1);
  EXPECT_EQ(f.NX, 1);
  EXPECT_EQ(f.ExtMMX, 1);
  EXPECT_EQ(f.AA64, 1);
  EXPECT_EQ(f.TDNowPlus, 1);
  EXPECT_EQ(f.TDNow, 1);
  EXPECT_EQ(f.PowerNow, 0);
  EXPECT_EQ(f.CoolnQuiet, 0);
  EXPECT_EQ(f.Cores, 1);
}

TEST(DecodeFeatures, VendorDependentFlags) {
  struct Case {
    const char* what;
    tRawCpu cpu;
    std::uint8_t tCPUfeatures::*flag;
    std::uint8_t value;
  };
  const Case cases[] = {
      {"HTT with one logical processor", tRawCpu().StdEdxBit(28).LogicalCpus(1), &tCPUfeatures::HTT,
       0},
      {"Cyrix Ext. MMX is bit 24", tRawCpu().Vendor("CyrixInstead").ExtEdxBit(24),
       &tCPUfeatures::ExtMMX, 1},
      {"Cyrix ignores bit 22", tRawCpu().Vendor("CyrixInstead").ExtEdxBit(22),
       &tCPUfeatures::ExtMMX, 0},
      {"AMD Ext. MMX is bit 22", tRawCpu::Amd(6, 4, 2).ExtEdxBit(22), &tCPUfeatures::ExtMMX, 1},
      {"AMD ignores bit 24", tRawCpu::Amd(6, 4, 2).ExtEdxBit(24), &tCPUfeatures::ExtMMX, 0},
      {"AMD PowerNow needs FID and VID", tRawCpu::Amd(6, 4, 2).PowerManagement(0x6),
       &tCPUfeatures::PowerNow, 1},
      {"AMD PowerNow without VID", tRawCpu::Amd(6, 4, 2).PowerManagement(0x2),
       &tCPUfeatures::PowerNow, 0},
      {"Intel has no PowerNow", tRawCpu::Intel(6, 13, 6).PowerManagement(0x6),
       &tCPUfeatures::PowerNow, 0},
      {"Intel SpeedStep from FID and VID", tRawCpu::Intel(15, 15, 0).PowerManagement(0x6),
       &tCPUfeatures::SpeedStep, 1},
      {"Intel SpeedStep ignores leaf 1 ECX bit 7", tRawCpu::Intel(15, 15, 0).StdEcxBit(7),
       &tCPUfeatures::SpeedStep, 0},
      {"other vendors keep leaf 1 ECX bit 7",
       tRawCpu().Vendor("CentaurHauls").Signature(6, 10, 9).StdEcxBit(7), &tCPUfeatures::SpeedStep,
       1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Identified({c.cpu})->CPUfeatures[0].*c.flag, c.value) << c.what;
  }
}

TEST(DecodeFeatures, CoresComeFromLeaf0x80000008WhenItIsReachable) {
  struct Case {
    std::uint32_t maxExtended;
    std::uint32_t ecx;
    unsigned cores;
  };
  const Case cases[] = {
      {0x80000008, 0x00000001, 2},
      {0x80000008, 0x00000007, 8},
      {0x80000004, 0x00000001, 1},
      {0x80000008, 0x0000FF00, 1},
      {0x80000008, 0x000000FE, 255},
      {0x80000008, 0x000000FF, 255},  // 256 cores do not fit the byte: never 0
  };
  for (const Case& c : cases) {
    tRawCpu cpu;
    cpu.MaxExtendedLeaf(c.maxExtended).Leaf(0x80000008, {0, 0, c.ecx, 0});
    EXPECT_EQ(Identified({cpu})->CPUfeatures[0].Cores, c.cores) << std::hex << c.ecx;
  }
}

TEST(DecodeFeatureBits, GroupsAreValidWhenReachableAndNotZero) {
  tRawCpu cpu;
  cpu.MaxStandardLeaf(1).Leaf(1, {0, 0, 0, 0x80000001});
  cpu.MaxExtendedLeaf(0x80000001).Leaf(0x80000001, {0, 0, 0x00000002, 0});
  const auto e = Identified({cpu});
  const tFeaturesFlags& flags = e->FeaturesFlags[0];
  EXPECT_EQ(flags.StdEDX.Valid, 1);
  EXPECT_EQ(flags.StdEDX.Bits[0], 1);
  EXPECT_EQ(flags.StdEDX.Bits[31], 1);
  EXPECT_EQ(flags.StdEDX.Bits[1], 0);
  EXPECT_EQ(flags.StdECX.Valid, 0);
  EXPECT_EQ(flags.ExtEDX.Valid, 0);
  EXPECT_EQ(flags.ExtECX.Valid, 1);
  EXPECT_EQ(flags.ExtECX.Bits[1], 1);

  tRawCpu unreachable;
  unreachable.MaxStandardLeaf(0).Leaf(1, {0, 0, 5, 5}).MaxExtendedLeaf(0x80000000);
  unreachable.Leaf(0x80000001, {0, 0, 5, 5});
  const auto e2 = Identified({unreachable});
  const tFeaturesFlags& none = e2->FeaturesFlags[0];
  EXPECT_EQ(none.StdEDX.Valid + none.StdECX.Valid + none.ExtEDX.Valid + none.ExtECX.Valid, 0);
  EXPECT_EQ(none.StdEDX.Bits[0], 0);
}

TEST(DecodeFeatureBits, AValidGroupStaysValidAndKeepsFollowingItsRegister) {
  auto e = Identified({tRawCpu().Leaf(1, {0, 0, 0, 0x1})});
  e->CPUdata[0].StdLeaf[1].EDX = 0;
  e->DecodeFeatureBits(0);
  EXPECT_EQ(e->FeaturesFlags[0].StdEDX.Valid, 1);
  EXPECT_EQ(e->FeaturesFlags[0].StdEDX.Bits[0], 0);
}

// The flags each register bit sets on its own, by vendor, written from the vendors' CPUID
// documentation: leaf 1 EDX and ECX, leaf 0x80000001 EDX, leaf 0x80000007 EDX.
enum tRegisterOf { StdEdx, StdEcx, ExtEdx, PowerEdx };

struct tFlagBit {
  tRegisterOf Register;
  unsigned Bit;
  const char* Flag;
  std::set<tVendor> Vendors;  // empty: every vendor
};

const tFlagBit kFlagBits[] = {
    {StdEdx, 9, "APIC", {}},
    {StdEdx, 23, "MMX", {}},
    {StdEdx, 25, "SSE", {}},
    {StdEdx, 26, "SSE2", {}},
    {StdEdx, 28, "HTT", {}},  // with two logical processors
    {StdEdx, 30, "IA64", {}},
    {StdEcx, 0, "SSE3", {}},
    // Enhanced SpeedStep; Intel parts take the mark from FID and VID together instead.
    {StdEcx, 7, "SpeedStep", {tVendor::amd, tVendor::cyrix, tVendor::centaur}},
    {ExtEdx, 19, "MP", {}},
    {ExtEdx, 20, "NX", {}},
    {ExtEdx, 22, "ExtMMX", {tVendor::intel, tVendor::amd, tVendor::centaur}},
    {ExtEdx, 24, "ExtMMX", {tVendor::cyrix}},
    {ExtEdx, 29, "AA64", {}},
    {ExtEdx, 29, "Id.AA64", {}},
    {ExtEdx, 30, "TDNowPlus", {}},
    {ExtEdx, 31, "TDNow", {}},
    {PowerEdx, 0, "TS", {}},
    {PowerEdx, 1, "FID", {}},
    {PowerEdx, 2, "VID", {}},
    {PowerEdx, 3, "TTP", {}},
    {PowerEdx, 4, "TM", {}},
    {PowerEdx, 5, "STC", {}},
};

// Every flag of the feature, power-management and identity records that is set, by name.
std::set<std::string> SetFlags(const cCPUid& e) {
  const tCPUfeatures& f = e.CPUfeatures[0];
  const tEPM& p = e.EPM[0];
  const std::pair<const char*, unsigned> flags[] = {
      {"MMX", f.MMX},
      {"ExtMMX", f.ExtMMX},
      {"SSE", f.SSE},
      {"SSE2", f.SSE2},
      {"SSE3", f.SSE3},
      {"TDNow", f.TDNow},
      {"TDNowPlus", f.TDNowPlus},
      {"SpeedStep", f.SpeedStep},
      {"IA64", f.IA64},
      {"HTT", f.HTT},
      {"AA64", f.AA64},
      {"NX", f.NX},
      {"MP", f.MP},
      {"PowerNow", f.PowerNow},
      {"CoolnQuiet", f.CoolnQuiet},
      {"APIC", f.APIC},
      {"STC", p.STC},
      {"TM", p.TM},
      {"TTP", p.TTP},
      {"VID", p.VID},
      {"FID", p.FID},
      {"TS", p.TS},
      {"Id.AA64", e.CPUid_m[0].AA64},
  };
  std::set<std::string> set;
  for (const auto& [name, value] : flags) {
    if (value != 0) set.insert(name);
  }
  return set;
}

TEST(DecodeFeatures, EachBitAloneSetsOnlyItsOwnFlags) {
  const std::map<tVendor, const char*> vendors = {{tVendor::intel, "GenuineIntel"},
                                                  {tVendor::amd, "AuthenticAMD"},
                                                  {tVendor::cyrix, "CyrixInstead"},
                                                  {tVendor::centaur, "CentaurHauls"}};
  auto e = Identified({tRawCpu()});
  for (const auto& [vendor, text] : vendors) {
    for (const tRegisterOf reg : {StdEdx, StdEcx, ExtEdx, PowerEdx}) {
      for (unsigned bit = 0; bit < 32; ++bit) {
        tRawCpu cpu;
        cpu.Vendor(text).LogicalCpus(2).MaxExtendedLeaf(0x80000007);
        if (reg == StdEdx) cpu.StdEdxBit(bit);
        if (reg == StdEcx) cpu.StdEcxBit(bit);
        if (reg == ExtEdx) cpu.ExtEdxBit(bit);
        if (reg == PowerEdx) cpu.PowerManagement(1u << bit);
        e->CPUdata[0] = cpu.Data();
        e->CPUfeatures[0] = {};
        e->EPM[0] = {};
        e->DecodeVendor(0);
        e->DecodeIdentity(0);
        e->DecodePowerMgmt(0);
        e->DecodeFeatures(0);

        std::set<std::string> expected;
        for (const tFlagBit& row : kFlagBits) {
          if (row.Register == reg && row.Bit == bit &&
              (row.Vendors.empty() || row.Vendors.contains(vendor)))
            expected.insert(row.Flag);
        }
        EXPECT_EQ(SetFlags(*e), expected) << text << " register " << reg << " bit " << bit;
      }
    }
  }
}

}  // namespace
