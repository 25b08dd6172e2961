// Rows of the small vendor tables, keyed on family and model only, and their lookup.
#pragma once

#include <cstdint>
#include <span>

#include "engine/naming/Naming.h"
#include "engine/store/CommonTypes.h"

// A model key that matches every model of its family.
inline constexpr std::uint8_t kAnyModel = 0xFF;

struct tVendorModelRow {
  std::uint8_t Family;
  std::uint8_t Model;  // or kAnyModel
  tNameRow Name;
};

// Applies the first row that matches the processor's family and model. A processor that no
// row lists keeps its name record as it is.
inline void ApplyModelRow(tnameinfo& name, const tCPUid_m& id,
                          std::span<const tVendorModelRow> rows) {
  for (const tVendorModelRow& row : rows) {
    if (row.Family == id.Family && (row.Model == kAnyModel || row.Model == id.Model)) {
      ApplyNameRow(name, row.Name);
      return;
    }
  }
}
