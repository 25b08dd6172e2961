#include "engine/decode/Frequencies.h"

#include <array>

#include "engine/decode/DisplaySignature.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/VendorStrings.h"

namespace {

// Intel family-6 models whose leaf 0x15 gives the ratio but not the crystal.
struct tKnownCrystal {
  std::uint32_t Model;
  double Hz;
};
constexpr std::array<tKnownCrystal, 6> kKnownCrystals{{
    {0x4E, 24'000'000},  // Skylake mobile
    {0x5E, 24'000'000},  // Skylake desktop
    {0x8E, 24'000'000},  // Kaby Lake mobile
    {0x9E, 24'000'000},  // Kaby Lake desktop
    {0x5F, 25'000'000},  // Goldmont server (Denverton)
    {0x5C, 19'200'000},  // Goldmont
}};

double CrystalHz(const tCpuidStore& store, std::uint32_t reported) {
  if (reported != 0) return reported;
  const tDisplaySignature signature = DisplaySignatureOf(store);
  if (VendorStringOf(store) != kVendorIntel || signature.Family != 6) return 0;
  for (const tKnownCrystal& known : kKnownCrystals) {
    if (known.Model == signature.Model) return known.Hz;
  }
  return 0;
}

}  // namespace

tFrequencies FrequenciesOf(const tCpuidStore& store) {
  tFrequencies f;
  if (const tCPUIDResult* clocks = ReportedLeaf(store, kLeafProcessorFrequency)) {
    f.BaseMHz = GetBits(clocks->EAX, 0, 15);
    f.MaxMHz = GetBits(clocks->EBX, 0, 15);
    f.BusMHz = GetBits(clocks->ECX, 0, 15);
  }
  if (const tCPUIDResult* tsc = ReportedLeaf(store, kLeafTscCrystal)) {
    // EBX over EAX is the ratio of the counter to the crystal; either 0: no ratio.
    if (tsc->EAX != 0 && tsc->EBX != 0)
      f.TscMHz = CrystalHz(store, tsc->ECX) * tsc->EBX / tsc->EAX / 1e6;
  }
  // The hypervisor's leaves count only under a hypervisor that says it offers this one.
  const bool underHypervisor = GetBit(store.Get(kLeafFeatures).ECX, kHypervisorBit) != 0;
  const tCPUIDResult* hypervisor = store.Find(kLeafHypervisorBase);
  if (f.TscMHz == 0 && underHypervisor && hypervisor != nullptr &&
      hypervisor->EAX >= kLeafHypervisorTiming &&
      hypervisor->EAX <= kLeafHypervisorBase + kLeafRangeSpan) {
    if (const tCPUIDResult* timing = store.Find(kLeafHypervisorTiming))
      f.TscMHz = timing->EAX / 1000.0;
  }
  return f;
}
