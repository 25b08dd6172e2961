// Little-endian, packed fields: the layout of the control requests and of the firmware's
// SMBIOS structures.
#pragma once

#include <cstdint>

// The `count` bytes at `bytes` (at most 8) as one value, lowest byte first.
inline std::uint64_t LoadLE(const std::uint8_t* bytes, unsigned count) {
  std::uint64_t value = 0;
  for (unsigned k = count; k-- > 0;)
    value = (value << 8) | bytes[k];
  return value;
}

// The low `count` bytes of `value` (at most 8), lowest byte first.
inline void StoreLE(std::uint8_t* bytes, std::uint64_t value, unsigned count) {
  for (unsigned k = 0; k < count; ++k)
    bytes[k] = static_cast<std::uint8_t>(value >> (8 * k));
}
