// Naming dispatch by vendor, and the performance-rating lookup.
#include "engine/naming/Naming.h"

#include <array>

#include "engine/CPUid.h"
#include "engine/Vendors.h"
#include "engine/clocks/CurrentRatio.h"
#include "engine/naming/ModernNaming.h"

namespace {

void AssignIfGiven(tString255& field, const char* text) {
  if (text != nullptr) field = text;
}

}  // namespace

const std::array<tRatingRow, 19> RatingTable{{
    {133, 10.0f, "1500+", 256}, {133, 10.5f, "1600+", 256}, {133, 11.0f, "1700+", 256},
    {133, 11.5f, "1800+", 256}, {133, 12.0f, "1900+", 256}, {133, 12.5f, "2000+", 256},
    {133, 13.0f, "2100+", 256}, {133, 13.5f, "2200+", 256}, {133, 15.0f, "2400+", 256},
    {166, 12.0f, "2400+", 256}, {166, 11.0f, "2500+", 512}, {133, 16.0f, "2600+", 256},
    {166, 12.5f, "2600+", 256}, {166, 11.5f, "2600+", 512}, {166, 13.0f, "2700+", 256},
    {166, 12.0f, "2700+", 512}, {166, 12.5f, "2800+", 512}, {166, 13.0f, "3000+", 512},
    {200, 11.0f, "3200+", 512},
}};

void ApplyNameRow(tnameinfo& name, const tNameRow& row) {
  AssignIfGiven(name.CodeName, row.CodeName);
  AssignIfGiven(name.CpuName, row.CpuName);
  if (row.LogoKey != 0) name.LogoKey = row.LogoKey;
  AssignIfGiven(name.Platform, row.Platform);
  AssignIfGiven(name.TechProcess, row.TechProcess);
  AssignIfGiven(name.TranQuantity, row.TranQuantity);
  AssignIfGiven(name.DieSize, row.DieSize);
}

bool cCPUid::NameProcessor(unsigned i) {
  if (i >= SlotCount()) return false;
  const bool named = NameByVendorTable(i);
  // Processors after the vendor tables' generations are named from the code-name table,
  // unless the vendor table gave the processor a code name of its own.
  tModernName& modern = ModernNames[i];
  modern = ModernNameOf(CPUstore[i]);
  tnameinfo& name = nameinfo[i];
  if (name.CodeName.Empty() || name.CodeName == modern.CodeName()) {
    ApplyModernName(modern, name);
    // Their multiplier comes from the registers the table names for them.
    if (modern.Row != nullptr && modern.Row->Ratio != tRatioRegisters::None)
      MultiplierMethod[i] = RatioMethodOf(modern.Row->Ratio);
  }
  return named;
}

bool cCPUid::NameByVendorTable(unsigned i) {
  // An unknown vendor string keeps the slot's earlier vendor value, but no vendor's table
  // describes that processor: it is not named as if it were one of theirs.
  if (!KnownVendor(CPUid_m[i].Vendor.View())) return true;
  const tVendorRow* vendor = VendorRowOf(FlagBrand[i]);
  if (vendor == nullptr || vendor->Name == nullptr) return true;
  try {
    (this->*vendor->Name)(i);
  } catch (...) {
    return false;
  }
  return true;
}

void cCPUid::LookupRating(unsigned i) {
  const double bus = Clocks[i].BusClock;
  const float multiplier = Clocks[i].Multiplier;
  const std::uint16_t l2 = level2[i].Size;
  for (const tRatingRow& row : RatingTable) {
    if (row.BusClock > bus - 5 && row.BusClock < bus + 5 && row.Multiplier == multiplier &&
        row.L2Size == l2) {
      nameinfo[i].Rating = row.Rating;
      return;
    }
  }
}
