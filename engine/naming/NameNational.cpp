// Names National Semiconductor processors: the Geode parts of family 5.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 2> kNationalRows{{
    {5, 4, {.CodeName = "GX1", .CpuName = "NS Geode GX1 Processor", .LogoKey = 1001}},
    {5, 5, {.CodeName = "GX2", .CpuName = "NS Geode GX2 Processor", .LogoKey = 1001}},
}};

}  // namespace

void cCPUid::NameNational(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kNationalRows);
}
