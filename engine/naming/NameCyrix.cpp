// Names Cyrix processors of families 4 to 6. Unlike the other vendors, the level-2 unit
// count is left as it is.
#include <array>

#include "engine/CPUid.h"
#include "engine/naming/VendorRows.h"

namespace {

// Family 5: model 4 is the MediaGXm, every other model a 6x86; the first match wins.
constexpr std::array<tVendorModelRow, 6> kCyrixRows{{
    {4, 0, {.CodeName = "M0.5", .CpuName = "Cx80486", .LogoKey = 501}},
    {4, 4, {.CodeName = "Gx86", .CpuName = "Cyrix MediaGX", .LogoKey = 502}},
    {4, 9, {.CodeName = "M1sc (0,65)", .CpuName = "Cyrix 5x86", .LogoKey = 503}},
    {5,
     4,
     {.CodeName = "GXm",
      .CpuName = "Cyrix MediaGXm",
      .LogoKey = 502,
      .TechProcess = "CMOS 0,65\xB5m",
      .TranQuantity = "",
      .DieSize = ""}},
    {5,
     kAnyModel,
     {.CodeName = "M1",
      .CpuName = "Cyrix 6x86",
      .LogoKey = 504,
      .TechProcess = "CMOS 0,65\xB5m",
      .TranQuantity = "3M",
      .DieSize = "394 sqr. mm"}},
    {6,
     0,
     {.CodeName = "M2",
      .CpuName = "Cyrix 6x86MX",
      .LogoKey = 805,
      .TechProcess = "CMOS 0,35\xB5m",
      .TranQuantity = "6.5M",
      .DieSize = "197 sqr. mm"}},
}};

}  // namespace

void cCPUid::NameCyrix(unsigned i) {
  if (i >= SlotCount()) return;
  ApplyModelRow(nameinfo[i], CPUid_m[i], kCyrixRows);
}
