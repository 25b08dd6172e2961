// A decoded picture: 8-bit RGBA pixels, rows from top to bottom, no padding.
#pragma once

#include <cstdint>
#include <vector>

struct tImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgba;  // Width * Height * 4 bytes
};
