// The processor (type 4) structures of the SMBIOS table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "smbios/get_dmi.h"

struct tSMBIOSProcessor {
  std::uint16_t ExtClock = 0;      // MHz
  std::uint16_t MaxSpeed = 0;      // MHz
  std::uint16_t CurrentSpeed = 0;  // MHz
  bool Populated = false;
  std::string_view StatusText;  // one of ProcessorStatusNames
  std::uint32_t L1Handle = 0;
  std::uint32_t L2Handle = 0;
  std::uint32_t L3Handle = 0;

  friend bool operator==(const tSMBIOSProcessor&, const tSMBIOSProcessor&) = default;
};

// Texts of the status code, bits 2..0 of the status byte.
extern const std::array<std::string_view, 8> ProcessorStatusNames;

// The processor entries in table order: entry i is the i-th type-4 structure. Always at least
// eight entries; those without a structure are zero.
std::vector<tSMBIOSProcessor> GetCpuDmiInfo(const tSMBIOSTables& tables);
