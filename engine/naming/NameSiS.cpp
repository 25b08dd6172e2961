// Names SiS processors: the x55 core of family 5.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 1> kSiSRows{{
    {5, 0, {.CodeName = "x55", .CpuName = "SiS x55 Processor", .LogoKey = 801}},
}};

}  // namespace

void cCPUid::NameSiS(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kSiSRows);
}
