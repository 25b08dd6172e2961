#include "engine/Vendors.h"

#include <array>

#include "engine/CPUid.h"

std::span<const tVendorRow> Vendors() {
  // The UMC and SiS strings end in a space. Centaur processors are not named.
  static constexpr std::array<tVendorRow, 10> kVendors{{
      {tVendor::intel, "GenuineIntel", "intel", &cCPUid::NameIntel},
      {tVendor::umc, "UMC UMC UMC ", "umc", &cCPUid::NameUMC},
      {tVendor::amd, "AuthenticAMD", "amd", &cCPUid::NameAMD},
      {tVendor::cyrix, "CyrixInstead", "cyrix", &cCPUid::NameCyrix},
      {tVendor::nexgen, "NexGenDriven", "nexgen", &cCPUid::NameNexGen},
      {tVendor::centaur, "CentaurHauls", "centaur", nullptr},
      {tVendor::rise, "RiseRiseRise", "rise", &cCPUid::NameRise},
      {tVendor::sis, "SiS SiS SiS ", "sis", &cCPUid::NameSiS},
      {tVendor::transmeta, "GenuineTMx86", "transmeta", &cCPUid::NameTransmeta},
      {tVendor::national, "Geode by NSC", "national", &cCPUid::NameNational},
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
