// Names UMC processors: the 486-class parts of family 4.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 2> kUMCRows{{
    {4, 1, {.CodeName = "U5D", .CpuName = "U80486DX Processor", .LogoKey = 401}},
    {4, 2, {.CodeName = "U5S", .CpuName = "U80486SX Processor", .LogoKey = 401}},
}};

}  // namespace

void cCPUid::NameUMC(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kUMCRows);
}
