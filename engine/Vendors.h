// The processor vendors the program knows, a row each: the vendor value, the vendor string
// of leaf 0, the vendor's name in the JSON report and the naming routine of its processors.
// Decoding finds the vendor of a vendor string here, naming its routine, the reports its name.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "engine/store/CommonTypes.h"

class cCPUid;

// A vendor's naming routine, for one processor slot.
using tNamingRoutine = void (cCPUid::*)(unsigned);

struct tVendorRow {
  tVendor Vendor;
  // The 12 characters of leaf 0's EBX, EDX and ECX, compared whole and case-sensitive.
  std::string_view Signature;
  std::string_view JsonName;
  // Null where the vendor's processors are not named.
  tNamingRoutine Name;
};

// Every row, in the order the vendor strings are compared: the first that matches wins.
std::span<const tVendorRow> Vendors();

// The vendor of a 12-character vendor string; nothing for a string no vendor uses.
std::optional<tVendor> KnownVendor(std::string_view text);

// The row of `vendor`; null for a value no row holds.
const tVendorRow* VendorRowOf(tVendor vendor);
