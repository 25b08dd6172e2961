// The decoders' bit and number helpers.
#include "engine/store/MyUtils.h"

#include <utility>

std::uint32_t HexToInt(std::string_view text) {
  if (text.empty()) return 0;
  std::uint64_t value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else {
      return 0;
    }
    value = value * 16 + digit;
    if (value > 0xFFFFFFFFu) return 0;
  }
  return static_cast<std::uint32_t>(value);
}

void IntToBits(std::uint32_t value, std::array<std::uint8_t, 32>& bits) {
  for (unsigned k = 0; k < 32; ++k)
    bits[k] = static_cast<std::uint8_t>(GetBit(value, k));
}

std::uint64_t GetBits(std::uint64_t value, unsigned lo, unsigned hi) {
  if (lo > hi) std::swap(lo, hi);
  if (lo > 63) return 0;
  if (hi > 63) hi = 63;
  const unsigned width = hi - lo + 1;
  const std::uint64_t mask = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
  return (value >> lo) & mask;
}

std::uint32_t GetBits(std::uint32_t value, unsigned lo, unsigned hi) {
  return static_cast<std::uint32_t>(GetBits(std::uint64_t{value}, lo, hi));
}

std::uint32_t GetBit(std::uint32_t value, unsigned bit) {
  return GetBits(value, bit, bit);
}

std::string RegsToText(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  std::string text;
  text.reserve(16);
  const auto append = [&text](std::uint32_t reg) {
    for (unsigned byte = 0; byte < 4; ++byte)
      text.push_back(static_cast<char>((reg >> (8 * byte)) & 0xFF));
  };
  append(a);
  append(b);
  append(c);
  if (d != 0) append(d);
  return text;
}
