// Vendor, signature, brand, feature and power-management decoding of one processor slot.
#include "engine/CPUid.h"
#include "engine/Vendors.h"
#include "engine/store/MyUtils.h"

namespace {

constexpr std::uint32_t kBrandLastLeaf = 0x80000004;
constexpr std::uint32_t kCoreCountLeaf = 0x80000008;
constexpr std::size_t kBrandLength = 48;

std::uint8_t Bit(std::uint32_t value, unsigned bit) {
  return static_cast<std::uint8_t>((value >> bit) & 1u);
}

std::uint8_t Byte(std::uint32_t value, unsigned lo, unsigned hi) {
  return static_cast<std::uint8_t>(GetBits(value, lo, hi));
}

// A byte count that cannot wrap to 0: a count of 256 or more reads as 255.
std::uint8_t CountOf(std::uint32_t value) {
  return static_cast<std::uint8_t>(value < 255 ? value : 255);
}

}  // namespace

std::string cCPUid::VendorText(unsigned i) const {
  const tCPUIDResult& leaf0 = CPUdata[i].StdLeaf[0];
  return RegsToText(leaf0.EBX, leaf0.EDX, leaf0.ECX, 0);
}

std::string cCPUid::BrandText(unsigned i) const {
  const tCPUdata& data = CPUdata[i];
  if (data.ExtLeaf[0].EAX < kBrandLastLeaf) return {};
  std::string brand;
  for (std::size_t leaf = 2; leaf <= 4; ++leaf) {
    const tCPUIDResult& r = data.ExtLeaf[leaf];
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
  id.AA64 = Bit(data.ExtLeaf[1].EDX, 29);
  try {
    id.Vendor = VendorText(i);

    const std::uint32_t signature = data.StdLeaf[1].EAX;
    id.Family = Byte(signature, 8, 11);
    id.Model = Byte(signature, 4, 7);
    id.Stepping = Byte(signature, 0, 3);
    id.CPUType = Byte(signature, 12, 13);
    id.ExtFamily = Byte(signature, 20, 27);
    id.ExtModel = Byte(signature, 16, 19);

    const std::uint32_t misc = data.StdLeaf[1].EBX;
    id.BrandID = Byte(misc, 0, 7);
    id.LogicalCPUs = Byte(misc, 16, 23);
    id.APICID = Byte(misc, 24, 31);

    const std::uint32_t extSignature = data.ExtLeaf[1].EAX;
    id.XExtFamily = Byte(extSignature, 20, 27);
    id.XExtModel = Byte(extSignature, 16, 19);
    id.XFamily = Byte(extSignature, 8, 11);
    id.XModel = Byte(extSignature, 4, 7);
    id.XStepping = Byte(extSignature, 0, 3);

    const std::uint32_t extBrand = data.ExtLeaf[1].EBX;
    id.XBrandID = static_cast<std::uint16_t>(GetBits(extBrand, 0, 11));
    id.XBrandHigh = Byte(extBrand, 8, 11);
    id.XBrandLow = Byte(extBrand, 6, 7);

    id.BrandString = BrandText(i);
  } catch (...) {
    return false;
  }
  return true;
}

void cCPUid::DecodePowerMgmt(unsigned i) {
  if (i >= SlotCount()) return;
  const std::uint32_t edx = CPUdata[i].ExtLeaf[7].EDX;
  tEPM& epm = EPM[i];
  epm.STC = Bit(edx, 5);
  epm.TM = Bit(edx, 4);
  epm.TTP = Bit(edx, 3);
  epm.VID = Bit(edx, 2);
  epm.FID = Bit(edx, 1);
  epm.TS = Bit(edx, 0);
}

void cCPUid::DecodeFeatures(unsigned i) {
  if (i >= SlotCount()) return;
  const tCPUdata& data = CPUdata[i];
  const std::uint32_t stdEdx = data.StdLeaf[1].EDX;
  const std::uint32_t stdEcx = data.StdLeaf[1].ECX;
  const std::uint32_t extEdx = data.ExtLeaf[1].EDX;
  const tVendor vendor = FlagBrand[i];
  const bool fidAndVid = EPM[i].FID == 1 && EPM[i].VID == 1;
  tCPUfeatures& f = CPUfeatures[i];

  f.MMX = Bit(stdEdx, 23);
  f.SSE = Bit(stdEdx, 25);
  f.SSE2 = Bit(stdEdx, 26);
  f.IA64 = Bit(stdEdx, 30);
  f.HTT = Bit(stdEdx, 28);
  f.APIC = Bit(stdEdx, 9);
  f.SSE3 = Bit(stdEcx, 0);
  f.SpeedStep = Bit(stdEcx, 7);
  // Intel parts take the SpeedStep mark from the FID and VID capabilities, as AMD parts take
  // PowerNow; the naming tables set it for the models known to have it.
  if (vendor == tVendor::intel) f.SpeedStep = fidAndVid ? 1 : 0;
  f.TDNow = Bit(extEdx, 31);
  f.TDNowPlus = Bit(extEdx, 30);
  f.ExtMMX = Bit(extEdx, vendor == tVendor::cyrix ? 24 : 22);
  f.AA64 = Bit(extEdx, 29);
  f.NX = Bit(extEdx, 20);
  f.MP = Bit(extEdx, 19);
  if (vendor == tVendor::amd) f.PowerNow = fidAndVid ? 1 : 0;
  if (CPUid_m[i].LogicalCPUs < 2) f.HTT = 0;
  f.Cores =
      data.ExtLeaf[0].EAX >= kCoreCountLeaf ? CountOf(GetBits(data.ExtLeaf[8].ECX, 0, 7) + 1) : 1;
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
  const bool stdReachable = data.StdLeaf[0].EAX >= 1;
  const bool extReachable = data.ExtLeaf[0].EAX >= 0x80000001;
  const tGroupSource sources[] = {
      {flags.StdEDX, data.StdLeaf[1].EDX, stdReachable},
      {flags.StdECX, data.StdLeaf[1].ECX, stdReachable},
      {flags.ExtEDX, data.ExtLeaf[1].EDX, extReachable},
      {flags.ExtECX, data.ExtLeaf[1].ECX, extReachable},
  };
  for (const tGroupSource& source : sources) {
    if (source.reachable && source.value != 0) source.group.Valid = 1;
  }
  // Once valid, a group is refreshed from its register even when the leaf is out of reach.
  for (const tGroupSource& source : sources) {
    if (source.group.Valid == 1) IntToBits(source.value, source.group.Bits);
  }
}
