// Every leaf-2 descriptor value, at every one of the fifteen descriptor places, against the
// fields it must fill, written here from the processor vendor's table of descriptors.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/EngineFixtures.h"

namespace {

// What a descriptor fills, as "Field=Value" words; level-2 and level-3 fields carry their
// level. Anything not named stays as a slot without descriptors has it: all zero, except the
// level-2 Present mark, which stays 1.
const std::map<std::uint8_t, const char*> kFilled = {
    {0x01, "ITLB4KAssoc=4 ITLB4KEntries=32"},
    {0x02, "ITLB2MAssoc=255 ITLB2MEntries=2"},
    {0x03, "DTLB4KAssoc=4 DTLB4KEntries=64"},
    {0x04, "DTLB2MAssoc=4 DTLB2MEntries=8"},
    {0x06, "ICacheSize=8 ICacheAssoc=4 ICacheLine=32"},
    {0x08, "ICacheSize=16 ICacheAssoc=4 ICacheLine=32"},
    {0x0A, "DCacheSize=8 DCacheAssoc=2 DCacheLine=32"},
    {0x0C, "DCacheSize=16 DCacheAssoc=4 DCacheLine=32"},
    {0x10, "DCacheSize=16 DCacheAssoc=4 DCacheLine=32"},
    {0x15, "ICacheSize=16 ICacheAssoc=4 ICacheLine=32"},
    {0x1A, "L2.Size=96 L2.Assoc=6 L2.LineSize=64"},
    {0x22, "L3.Present=1 L3.Size=512 L3.Assoc=4 L3.LineSize=64 L3.LinesPerSector=2"},
    {0x23, "L3.Present=1 L3.Size=1024 L3.Assoc=8 L3.LineSize=64 L3.LinesPerSector=2"},
    {0x25, "L3.Present=1 L3.Size=2048 L3.Assoc=8 L3.LineSize=64 L3.LinesPerSector=2"},
    {0x29, "L3.Present=1 L3.Size=4096 L3.Assoc=8 L3.LineSize=64 L3.LinesPerSector=2"},
    {0x2C, "DCacheSize=32 DCacheAssoc=8 DCacheLine=64"},
    {0x30, "ICacheSize=32 ICacheAssoc=8 ICacheLine=64"},
    {0x39, "L2.Size=128 L2.Assoc=4 L2.LineSize=64"},
    {0x3B, "L2.Size=128 L2.Assoc=2 L2.LineSize=64"},
    {0x3C, "L2.Size=256 L2.Assoc=4 L2.LineSize=64"},
    {0x40, ""},  // no further cache; on family 15 the level-3 mark is already clear
    {0x41, "L2.Size=128 L2.Assoc=4 L2.LineSize=32"},
    {0x42, "L2.Size=256 L2.Assoc=4 L2.LineSize=32"},
    {0x43, "L2.Size=512 L2.Assoc=4 L2.LineSize=32"},
    {0x44, "L2.Size=1024 L2.Assoc=4 L2.LineSize=32"},
    {0x45, "L2.Size=2048 L2.Assoc=4 L2.LineSize=32"},
    {0x50, "ITLB4KAssoc=255 ITLB2MAssoc=255 ITLB4KEntries=64 ITLB2MEntries=64"},
    {0x51, "ITLB4KAssoc=255 ITLB2MAssoc=255 ITLB4KEntries=128 ITLB2MEntries=128"},
    {0x52, "ITLB4KAssoc=255 ITLB2MAssoc=255 ITLB4KEntries=256 ITLB2MEntries=256"},
    {0x5B, "DTLB4KAssoc=255 DTLB2MAssoc=255 DTLB4KEntries=64 DTLB2MEntries=64"},
    {0x5C, "DTLB4KAssoc=255 DTLB2MAssoc=255 DTLB4KEntries=128 DTLB2MEntries=128"},
    {0x5D, "DTLB4KAssoc=255 DTLB2MAssoc=255 DTLB4KEntries=256 DTLB2MEntries=256"},
    {0x60, "DCacheSize=16 DCacheAssoc=8 DCacheLine=64"},
    {0x66, "DCacheSize=8 DCacheAssoc=4 DCacheLine=64"},
    {0x67, "DCacheSize=16 DCacheAssoc=4 DCacheLine=64"},
    {0x68, "DCacheSize=32 DCacheAssoc=4 DCacheLine=64"},
    {0x70, "TraceCache=1 ICacheSize=12 ICacheAssoc=8 ICacheLine=6"},
    {0x71, "TraceCache=1 ICacheSize=16 ICacheAssoc=8 ICacheLine=8"},
    {0x72, "TraceCache=1 ICacheSize=32 ICacheAssoc=8"},
    {0x77, "ICacheSize=16 ICacheAssoc=4 ICacheLine=64"},
    {0x78, "L2.Size=1024 L2.Assoc=4 L2.LineSize=64"},
    {0x79, "L2.Size=128 L2.Assoc=8 L2.LineSize=64"},
    {0x7A, "L2.Size=256 L2.Assoc=8 L2.LineSize=64"},
    {0x7B, "L2.Size=512 L2.Assoc=8 L2.LineSize=64"},
    {0x7C, "L2.Size=1024 L2.Assoc=8 L2.LineSize=64"},
    {0x7D, "L2.Size=2048 L2.Assoc=8 L2.LineSize=64"},
    {0x7E, "L2.Size=256 L2.Assoc=8 L2.LineSize=128"},
    {0x7F, "L2.Size=512 L2.Assoc=2 L2.LineSize=64"},
    {0x81, "L2.Size=128 L2.Assoc=8 L2.LineSize=32"},
    {0x82, "L2.Size=256 L2.Assoc=8 L2.LineSize=32"},
    {0x83, "L2.Size=512 L2.Assoc=8 L2.LineSize=32"},
    {0x84, "L2.Size=1024 L2.Assoc=8 L2.LineSize=32"},
    {0x85, "L2.Size=2048 L2.Assoc=8 L2.LineSize=32"},
    {0x86, "L2.Size=512 L2.Assoc=4 L2.LineSize=64"},
    {0x87, "L2.Size=1024 L2.Assoc=8 L2.LineSize=64"},
    {0x88, "L3.Present=1 L3.Size=2048 L3.Assoc=4 L3.LineSize=64"},
    {0x89, "L3.Present=1 L3.Size=4096 L3.Assoc=4 L3.LineSize=64"},
    {0x8A, "L3.Present=1 L3.Size=8192 L3.Assoc=4 L3.LineSize=64"},
    {0x8D, "L3.Present=1 L3.Size=3072 L3.Assoc=12 L3.LineSize=128"},
    {0xB0, "ITLB4KAssoc=4 ITLB4KEntries=128"},
    {0xB3, "DTLB4KAssoc=4 DTLB4KEntries=128"},
};

std::set<std::string> Words(const std::string& text) {
  std::set<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;)
    words.insert(word);
  return words;
}

// Every cache field of slot 0 that differs from a slot without descriptors, as words.
std::set<std::string> Filled(const cCPUid& e) {
  const tlevel1& a = e.level1[0];
  const tlevel2& b = e.level2[0];
  const tlevel3& c = e.level3[0];
  const std::pair<const char*, unsigned> fields[] = {
      {"ITLB4KAssoc", a.ITLB4KAssoc},
      {"ITLB2MAssoc", a.ITLB2MAssoc},
      {"ITLB4KEntries", a.ITLB4KEntries},
      {"ITLB2MEntries", a.ITLB2MEntries},
      {"DTLB4KAssoc", a.DTLB4KAssoc},
      {"DTLB2MAssoc", a.DTLB2MAssoc},
      {"DTLB4KEntries", a.DTLB4KEntries},
      {"DTLB2MEntries", a.DTLB2MEntries},
      {"ICacheSize", a.ICacheSize},
      {"ICacheAssoc", a.ICacheAssoc},
      {"ICacheLine", a.ICacheLine},
      {"ICacheLinesPerTag", a.ICacheLinesPerTag},
      {"TraceCache", a.TraceCache},
      {"DCacheSize", a.DCacheSize},
      {"DCacheAssoc", a.DCacheAssoc},
      {"DCacheLine", a.DCacheLine},
      {"DCacheLinesPerTag", a.DCacheLinesPerTag},
      {"L2.UnitCount", b.UnitCount},
      {"L2.ITLB4KAssoc", b.ITLB4KAssoc},
      {"L2.ITLB2MAssoc", b.ITLB2MAssoc},
      {"L2.ITLB4KEntries", b.ITLB4KEntries},
      {"L2.ITLB2MEntries", b.ITLB2MEntries},
      {"L2.DTLB4KAssoc", b.DTLB4KAssoc},
      {"L2.DTLB2MAssoc", b.DTLB2MAssoc},
      {"L2.DTLB4KEntries", b.DTLB4KEntries},
      {"L2.DTLB2MEntries", b.DTLB2MEntries},
      {"L2.Size", b.Size},
      {"L2.Assoc", b.Assoc},
      {"L2.LineSize", b.LineSize},
      {"L2.LinesPerTag", b.LinesPerTag},
      {"L3.Size", c.Size},
      {"L3.Assoc", c.Assoc},
      {"L3.LineSize", c.LineSize},
      {"L3.LinesPerSector", c.LinesPerSector},
      {"L3.Present", c.Present},
  };
  std::set<std::string> words;
  for (const auto& [name, value] : fields) {
    if (value != 0) words.insert(std::string(name) + "=" + std::to_string(value));
  }
  if (b.Present != 1) words.insert("L2.Present=" + std::to_string(b.Present));
  return words;
}

// Leaf 2 with the repeat count 1 and `value` at descriptor place `place` (0 to 14): places 0
// to 2 are bytes 1 to 3 of EAX, then come EBX, ECX and EDX, each from its low byte up.
tCPUIDResult Leaf2With(std::uint8_t value, unsigned place) {
  std::uint32_t registers[4] = {0x01, 0, 0, 0};
  const unsigned byte = place + 1;  // counted from the low byte of EAX
  registers[byte / 4] |= std::uint32_t{value} << (8 * (byte % 4));
  return {registers[0], registers[1], registers[2], registers[3]};
}

// The cache fields that descriptor `value` at `place` fills on a fresh slot.
std::set<std::string> Decoded(cCPUid& e, std::uint8_t value, unsigned place) {
  e.CPUdata[0].StdLeaf[2] = Leaf2With(value, place);
  e.level1[0] = {};
  e.level2[0] = {};
  e.level3[0] = {};
  e.DecodeCaches();
  return Filled(e);
}

TEST(DescriptorRows, EveryValueFillsItsFieldsFromEveryPlace) {
  const auto pentium4 = Identified({tRawCpu::Intel(15, 9, 1).MaxStandardLeaf(2)});
  for (unsigned value = 0; value <= 0xFF; ++value) {
    const auto row = kFilled.find(static_cast<std::uint8_t>(value));
    const std::set<std::string> expected = Words(row == kFilled.end() ? "" : row->second);
    for (unsigned place = 0; place < 15; ++place) {
      EXPECT_EQ(Decoded(*pentium4, static_cast<std::uint8_t>(value), place), expected)
          << std::hex << "descriptor 0x" << value << " at place " << std::dec << place;
    }
  }
}

TEST(DescriptorRows, NoFurtherCacheClearsTheLevel2MarkOfFamily6FromEveryPlace) {
  const auto pentiumIII = Identified({tRawCpu::Intel(6, 9, 1).MaxStandardLeaf(2)});
  for (unsigned place = 0; place < 15; ++place)
    EXPECT_EQ(Decoded(*pentiumIII, 0x40, place), Words("L2.Present=0")) << "place " << place;
}

}  // namespace
