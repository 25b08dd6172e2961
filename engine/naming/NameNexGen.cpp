// Names NexGen processors of family 5.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 2> kNexGenRows{{
    {5,
     0,
     {.CodeName = "Nx586",
      .CpuName = "NexGen Nx586",
      .LogoKey = 601,
      .TechProcess = "CMOS 0,44\xB5m",
      .TranQuantity = "3.5M",
      .DieSize = "118 sqr. mm"}},
    {5,
     6,
     {.CodeName = "HA",
      .CpuName = "NexGen Nx686",
      .LogoKey = 602,
      .TechProcess = "CMOS 0,35\xB5m",
      .TranQuantity = "6M",
      .DieSize = "150 sqr. mm"}},
}};

}  // namespace

void cCPUid::NameNexGen(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kNexGenRows);
}
