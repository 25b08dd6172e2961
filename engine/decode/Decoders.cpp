// Vendor, signature, brand, feature and power-management decoding of one processor slot.
#include "engine/CPUid.h"
#include "engine/Vendors.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

constexpr std::size_t kBrandLength = 48;

// A byte count that cannot wrap to 0: a count of 256 or more reads as 255.
std::uint8_t CountOf(std::uint32_t value) {
  return static_cast<std::uint8_t>(value < 255 ? value : 255);
}

}  // namespace

std::string cCPUid::VendorText(unsigned i) const {
  const tCPUIDResult& leaf0 = CPUdata[i].StdLeaf[kLeafStandardBase];
  return RegsToText(leaf0.EBX, leaf0.EDX, leaf0.ECX, 0);
}

std::string cCPUid::BrandText(unsigned i) const {
  const tCPUdata& data = CPUdata[i];
  if (data.ExtLeaf[ExtendedIndex(kLeafExtendedBase)].EAX < kLeafExtendedBrand3) return {};
  std::string brand;
  for (std::uint32_t leaf = kLeafExtendedBrand1; leaf <= kLeafExtendedBrand3; ++leaf) {
    const tCPUIDResult& r = data.ExtLeaf[ExtendedIndex(leaf)];
    brand += RegsToText(r.EAX, r.EBX, r.ECX, r.EDX);
  }
  if (brand.size() > kBrandLength) brand.resize(kBrandLength);
  return brand;
}

void cCPUid::DecodeVendor(unsigned i) {
  if (i >= SlotCount()) return;
  if (const auto vendor = KnownVendor(VendorText(i))) FlagBrand[i] = *vendor;
}

bool cCPUid::DecodeIdentity(unsigned i) {
  if (i >= SlotCount()) return false;
  const tCPUdata& data = CPUdata[i];
  tCPUid_m& id = CPUid_m[i];
  const tCPUIDResult& features = data.StdLeaf[kLeafFeatures];
  const tCPUIDResult& extFeatures = data.ExtLeaf[ExtendedIndex(kLeafExtendedFeatures)];
  id.AA64 = GetBit(extFeatures.EDX, 29);
  try {
    id.Vendor = VendorText(i);

    const std::uint32_t signature = features.EAX;
    id.Family = GetBits(signature, 8, 11);
    id.Model = GetBits(signature, 4, 7);
    id.Stepping = GetBits(signature, 0, 3);
    id.CPUType = GetBits(signature, 12, 13);
    id.ExtFamily = GetBits(signature, 20, 27);
    id.ExtModel = GetBits(signature, 16, 19);

    const std::uint32_t misc = features.EBX;
    id.BrandID = GetBits(misc, 0, 7);
    id.LogicalCPUs = GetBits(misc, 16, 23);
    id.APICID = GetBits(misc, 24, 31);

    const std::uint32_t extSignature = extFeatures.EAX;
    id.XExtFamily = GetBits(extSignature, 20, 27);
    id.XExtModel = GetBits(extSignature, 16, 19);
    id.XFamily = GetBits(extSignature, 8, 11);
    id.XModel = GetBits(extSignature, 4, 7);
    id.XStepping = GetBits(extSignature, 0, 3);

    const std::uint32_t extBrand = extFeatures.EBX;
    id.XBrandID = GetBits(extBrand, 0, 11);
    id.XBrandHigh = GetBits(extBrand, 8, 11);
    id.XBrandLow = GetBits(extBrand, 6, 7);

    id.BrandString = BrandText(i);
  } catch (...) {
    return false;
  }
  return true;
}

void cCPUid::DecodePowerMgmt(unsigned i) {
  if (i >= SlotCount()) return;
  const std::uint32_t edx = CPUdata[i].ExtLeaf[ExtendedIndex(kLeafPowerManagement)].EDX;
  tEPM& epm = EPM[i];
  epm.STC = GetBit(edx, 5);
  epm.TM = GetBit(edx, 4);
  epm.TTP = GetBit(edx, 3);
  epm.VID = GetBit(edx, 2);
  epm.FID = GetBit(edx, 1);
  epm.TS = GetBit(edx, 0);
}

void cCPUid::DecodeFeatures(unsigned i) {
  if (i >= SlotCount()) return;
  const tCPUdata& data = CPUdata[i];
  const std::uint32_t stdEdx = data.StdLeaf[kLeafFeatures].EDX;
  const std::uint32_t stdEcx = data.StdLeaf[kLeafFeatures].ECX;
  const std::uint32_t extEdx = data.ExtLeaf[ExtendedIndex(kLeafExtendedFeatures)].EDX;
  const tVendor vendor = FlagBrand[i];
  const bool fidAndVid = EPM[i].FID == 1 && EPM[i].VID == 1;
  tCPUfeatures& f = CPUfeatures[i];

  f.MMX = GetBit(stdEdx, 23);
  f.SSE = GetBit(stdEdx, 25);
  f.SSE2 = GetBit(stdEdx, 26);
  f.IA64 = GetBit(stdEdx, 30);
  f.HTT = GetBit(stdEdx, 28);
  f.APIC = GetBit(stdEdx, 9);
  f.SSE3 = GetBit(stdEcx, 0);
  f.SpeedStep = GetBit(stdEcx, 7);
  // Intel parts take the SpeedStep mark from the FID and VID capabilities, as AMD parts take
  // PowerNow; the naming tables set it for the models known to have it.
  if (vendor == tVendor::intel) f.SpeedStep = fidAndVid ? 1 : 0;
  f.TDNow = GetBit(extEdx, 31);
  f.TDNowPlus = GetBit(extEdx, 30);
  f.ExtMMX = GetBit(extEdx, vendor == tVendor::cyrix ? 24 : 22);
  f.AA64 = GetBit(extEdx, 29);
  f.NX = GetBit(extEdx, 20);
  f.MP = GetBit(extEdx, 19);
  if (vendor == tVendor::amd) f.PowerNow = fidAndVid ? 1 : 0;
  if (CPUid_m[i].LogicalCPUs < 2) f.HTT = 0;
  const bool coresReported =
      data.ExtLeaf[ExtendedIndex(kLeafExtendedBase)].EAX >= kLeafAddressSizes;
  f.Cores = coresReported
                ? CountOf(GetBits(data.ExtLeaf[ExtendedIndex(kLeafAddressSizes)].ECX, 0, 7) + 1)
                : 1;
}

void cCPUid::DecodeFeatureBits(unsigned i) {
  if (i >= SlotCount()) return;
  const tCPUdata& data = CPUdata[i];
  tFeaturesFlags& flags = FeaturesFlags[i];
  struct tGroupSource {
    tFeatureBits& group;
    std::uint32_t value;
    bool reachable;
  };
  const bool stdReachable = data.StdLeaf[kLeafStandardBase].EAX >= kLeafFeatures;
  const bool extReachable =
      data.ExtLeaf[ExtendedIndex(kLeafExtendedBase)].EAX >= kLeafExtendedFeatures;
  const tCPUIDResult& features = data.StdLeaf[kLeafFeatures];
  const tCPUIDResult& extFeatures = data.ExtLeaf[ExtendedIndex(kLeafExtendedFeatures)];
  const tGroupSource sources[] = {
      {flags.StdEDX, features.EDX, stdReachable},
      {flags.StdECX, features.ECX, stdReachable},
      {flags.ExtEDX, extFeatures.EDX, extReachable},
      {flags.ExtECX, extFeatures.ECX, extReachable},
  };
  for (const tGroupSource& source : sources) {
    if (source.reachable && source.value != 0) source.group.Valid = 1;
  }
  // Once valid, a group is refreshed from its register even when the leaf is out of reach.
  for (const tGroupSource& source : sources) {
    if (source.group.Valid == 1) IntToBits(source.value, source.group.Bits);
  }
}
