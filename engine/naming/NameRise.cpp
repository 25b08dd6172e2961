// Names Rise processors of family 5.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 2> kRiseRows{{
    {5,
     0,
     {.CodeName = "Kirin",
      .CpuName = "Rise mP6",
      .LogoKey = 701,
      .TechProcess = "CMOS 0,25\xB5m",
      .TranQuantity = "3.6M",
      .DieSize = "107 sqr. mm"}},
    {5,
     2,
     {.CodeName = "Lynx",
      .CpuName = "Rise mP6",
      .LogoKey = 701,
      .TechProcess = "CMOS 0,18\xB5m",
      .TranQuantity = "3.6M",
      .DieSize = ""}},
}};

}  // namespace

void cCPUid::NameRise(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kRiseRows);
}
