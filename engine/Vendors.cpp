#include "engine/Vendors.h"

#include <array>

#include "engine/CPUid.h"
#include "engine/store/VendorStrings.h"

std::span<const tVendorRow> Vendors() {
  // Centaur processors are not named.
  static constexpr std::array<tVendorRow, 10> kVendors{{
      {tVendor::intel, kVendorIntel, "intel", &cCPUid::NameIntel},
      {tVendor::umc, kVendorUmc, "umc", &cCPUid::NameUMC},
      {tVendor::amd, kVendorAmd, "amd", &cCPUid::NameAMD},
      {tVendor::cyrix, kVendorCyrix, "cyrix", &cCPUid::NameCyrix},
      {tVendor::nexgen, kVendorNexGen, "nexgen", &cCPUid::NameNexGen},
      {tVendor::centaur, kVendorCentaur, "centaur", nullptr},
      {tVendor::rise, kVendorRise, "rise", &cCPUid::NameRise},
      {tVendor::sis, kVendorSiS, "sis", &cCPUid::NameSiS},
      {tVendor::transmeta, kVendorTransmeta, "transmeta", &cCPUid::NameTransmeta},
      {tVendor::national, kVendorNational, "national", &cCPUid::NameNational},
  }};
  return kVendors;
}

std::optional<tVendor> KnownVendor(std::string_view text) {
  for (const tVendorRow& row : Vendors()) {
    if (text == row.Signature) return row.Vendor;
  }
  return std::nullopt;
}

const tVendorRow* VendorRowOf(tVendor vendor) {
  for (const tVendorRow& row : Vendors()) {
    if (row.Vendor == vendor) return &row;
  }
  return nullptr;
}
