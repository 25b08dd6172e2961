// The vendor table: each vendor's string, report name and naming routine, and how vendor
// strings are matched.
#include "engine/Vendors.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace {

struct tExpectedVendor {
  tVendor vendor;
  std::string_view signature;
  std::string_view jsonName;
  bool named;
};

// In the order the vendor strings are compared.
constexpr tExpectedVendor kExpected[] = {
    {tVendor::intel, "GenuineIntel", "intel", true},
    {tVendor::umc, "UMC UMC UMC ", "umc", true},
    {tVendor::amd, "AuthenticAMD", "amd", true},
    {tVendor::cyrix, "CyrixInstead", "cyrix", true},
    {tVendor::nexgen, "NexGenDriven", "nexgen", true},
    {tVendor::centaur, "CentaurHauls", "centaur", false},
    {tVendor::rise, "RiseRiseRise", "rise", true},
    {tVendor::sis, "SiS SiS SiS ", "sis", true},
    {tVendor::transmeta, "GenuineTMx86", "transmeta", true},
    {tVendor::national, "Geode by NSC", "national", true},
};

TEST(Vendors, EveryVendorHasOneRowWithItsStringNameAndRoutine) {
  const auto rows = Vendors();
  ASSERT_EQ(rows.size(), std::size(kExpected));
  std::set<tVendor> seen;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const tExpectedVendor& expected = kExpected[k];
    SCOPED_TRACE(std::string(expected.signature));
    EXPECT_EQ(rows[k].Vendor, expected.vendor) << "row " << k;
    EXPECT_TRUE(seen.insert(rows[k].Vendor).second) << "row " << k;

    const tVendorRow* row = VendorRowOf(expected.vendor);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Vendor, expected.vendor);
    EXPECT_EQ(row->Signature, expected.signature);
    EXPECT_EQ(row->Signature.size(), 12u);
    EXPECT_EQ(row->JsonName, expected.jsonName);
    EXPECT_EQ(row->Name != nullptr, expected.named);
    EXPECT_EQ(KnownVendor(expected.signature), expected.vendor);
  }
}

TEST(Vendors, AStringMatchesOnlyWholeAndInItsCase) {
  const std::string_view unknown[] = {
      "",
      "UMC UMC UMC",
      std::string_view("UMC UMC UMC\0", 12),
      "SiS SiS SiS",
      "genuineintel",
      "GENUINEINTEL",
      "GenuineIntel ",
      " GenuineIntel",
      "AuthenticAM",
      "AuthenticAMDx",
      "HygonGenuine",
      "  Shanghai  ",
      "intel",
  };
  for (const std::string_view text : unknown)
    EXPECT_FALSE(KnownVendor(text).has_value()) << '"' << std::string(text) << '"';
}

TEST(Vendors, AValueNoRowHoldsHasNoRow) {
  EXPECT_EQ(VendorRowOf(static_cast<tVendor>(std::size(kExpected))), nullptr);
  EXPECT_EQ(VendorRowOf(static_cast<tVendor>(0xFF)), nullptr);
}

}  // namespace
