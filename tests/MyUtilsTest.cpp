#include "engine/store/MyUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HexToInt, ReadsHexadecimalAndTurnsEverythingElseIntoZero) {
  struct Case {
    const char* text;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"1F", 31},
      {"1f", 31},
      {"0", 0},
      {"FFFFFFFF", 0xFFFFFFFFu},
      {"000000001F", 31},  // leading zeros do not count against the 32 bits
      {"80000008", 0x80000008u},
      {"", 0},
      {"xyz", 0},
      {"1G", 0},
      {"-1", 0},
      {"0x1F", 0},
      {" 1F", 0},
      {"100000000", 0},  // 33 bits
  };
  for (const Case& c : cases)
    EXPECT_EQ(HexToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(GetBits, TakesInclusiveRangesInEitherOrder) {
  struct Case {
    std::uint32_t value;
    unsigned lo;
    unsigned hi;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {0x12345678, 8, 15, 0x56}, {0x12345678, 15, 8, 0x56}, {0x12345678, 0, 31, 0x12345678},
      {0xF0000000, 28, 31, 0xF}, {0xF0000000, 31, 28, 0xF}, {0x80000000, 31, 31, 1},
      {0x00000F29, 8, 11, 15},   {0x00000F29, 0, 3, 9},     {0xFFFFFFFF, 20, 27, 0xFF},
      {0xFFFFFFFF, 30, 40, 3},  // positions past 31 read 0
      {0xFFFFFFFF, 32, 40, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetBits(c.value, c.lo, c.hi), c.bits)
        << std::hex << c.value << " bits " << std::dec << c.lo << ".." << c.hi;
  }
}

// Model-specific registers are 64 bits wide: ranges reach the upper half, straddle the two
// halves, and the whole register comes out unmasked.
TEST(GetBits, TakesRangesOfSixtyFourBitRegisters) {
  struct Case {
    std::uint64_t value;
    unsigned lo;
    unsigned hi;
    std::uint64_t bits;
  };
  const Case cases[] = {
      {0x8000000000000000, 63, 63, 1},         {0x8000000000000000, 62, 62, 0},
      {0x0000001234567800, 8, 39, 0x12345678},  // straddles bit 31
      {0x0000001234567800, 39, 8, 0x12345678}, {0xFFFFFFFFFFFFFFFF, 0, 63, 0xFFFFFFFFFFFFFFFF},
      {0x00000000000023C8, 8, 13, 0x23},  // a P-state divisor field
      {0xFFFFFFFFFFFFFFFF, 60, 70, 0xF},  // positions past 63 read 0
      {0xFFFFFFFFFFFFFFFF, 64, 70, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetBits(c.value, c.lo, c.hi), c.bits)
        << std::hex << c.value << " bits " << std::dec << c.lo << ".." << c.hi;
  }
}

TEST(GetBit, TakesOneBitAndNothingPastBit31) {
  struct Case {
    std::uint32_t value;
    unsigned bit;
    std::uint32_t set;
  };
  const Case cases[] = {
      {0x80000000, 31, 1}, {0x80000000, 30, 0}, {0x00000001, 0, 1},  {0xFFFFFFFE, 0, 0},
      {0x00000200, 9, 1},  {0xFFFFFFFF, 32, 0}, {0xFFFFFFFF, 40, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetBit(c.value, c.bit), c.set) << std::hex << c.value << " bit " << std::dec << c.bit;
}

TEST(IntToBits, PutsBitKIntoElementK) {
  std::array<std::uint8_t, 32> bits{};
  bits.fill(7);
  IntToBits(0x80000005u, bits);
  for (unsigned k = 0; k < 32; ++k) {
    EXPECT_EQ(bits[k], (k == 0 || k == 2 || k == 31) ? 1 : 0) << "bit " << k;
  }
}

TEST(RegsToText, KeepsNulBytesAndDropsOnlyAZeroFourthRegister) {
  EXPECT_EQ(RegsToText(0x756E6547, 0x49656E69, 0x6C65746E, 0), "GenuineIntel");
  EXPECT_EQ(RegsToText(0x68747541, 0x69746E65, 0x444D4163, 0x00000041),
            std::string("AuthenticAMDA\0\0\0", 16));
  EXPECT_EQ(RegsToText(0, 0, 0, 0), std::string(12, '\0'));
}

}  // namespace
