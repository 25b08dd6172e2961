// Bit and number helpers of the decoders. Pure functions without state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The value that `text` spells in hexadecimal (no prefix, either case, at most 32 bits);
// 0 for anything that is not such a number, the empty text included.
std::uint32_t HexToInt(std::string_view text);

// Element k of `bits` := bit k of `value` (0 or 1), k = 0 to 31.
void IntToBits(std::uint32_t value, std::array<std::uint8_t, 32>& bits);

// Bits lo..hi of `value`, inclusive, with bit lo as the least significant bit of the result.
// The order of the bounds does not matter; bit positions above the register's width (31, or 63
// for a 64-bit register) read as zero.
std::uint32_t GetBits(std::uint32_t value, unsigned lo, unsigned hi);
std::uint64_t GetBits(std::uint64_t value, unsigned lo, unsigned hi);

// Bit `bit` of `value`: 0 or 1; 0 above bit 31.
std::uint32_t GetBit(std::uint32_t value, unsigned bit);

// The bytes of a, b and c, each least significant byte first, then those of d unless d is 0.
// NUL bytes are characters like any other.
std::string RegsToText(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);
