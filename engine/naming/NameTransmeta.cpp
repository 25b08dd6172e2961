// Names Transmeta processors: only the TM3x00 of family 5 is listed.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

constexpr std::array<tVendorModelRow, 1> kTransmetaRows{{
    {5, 4, {.CodeName = "TM3", .CpuName = "Transmeta Crusoe TM3x00", .LogoKey = 705}},
}};

}  // namespace

void cCPUid::NameTransmeta(unsigned i) {
  if (i >= SlotCount()) return;
  level2[i].UnitCount = 1;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kTransmetaRows);
}
