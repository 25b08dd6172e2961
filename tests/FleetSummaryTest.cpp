// The fleet summary: processors grouped into kinds across machines, machines counted once per
// kind, and the features that some kinds lack.
#include "app/FleetSummary.h"

#include <gtest/gtest.h>

#include "tests/support/EngineFixtures.h"

namespace {

// Leaf 1 EDX baseline (fpu, cx8, cmov, mmx, fxsr, sse, sse2) with long mode: x86-64-v1; with
// ECX pni, ssse3, cx16, sse4_1, sse4_2, popcnt and lahf_lm: x86-64-v2.
tCpuidStore Machine(std::uint32_t signature, std::uint32_t ecx, std::uint32_t extEcx) {
  return StoreOf("GenuineIntel", 1,
                 {{1, 0, {signature, 0, ecx, 0x07808101}},
                  {0x80000000, 0, {0x80000001, 0, 0, 0}},
                  {0x80000001, 0, {0, 0, extEcx, 1u << 29}}});
}

constexpr std::uint32_t kV2Ecx = 0x00982201;

TEST(FleetSummary, KindsMachinesAndTheFeaturesThatDiffer) {
  const tCpuidStore nehalem = Machine(0x106A5, kV2Ecx, 1);
  const tCpuidStore conroe = Machine(0x6F6, 0x00002201, 0);  // pni, ssse3, cx16
  // Machine 1: two of one kind; machine 2: one of them and one older; machine 3: the older.
  const tFleetSummary s =
      SummariseFleet({"a", "b", "c"}, {{nehalem, nehalem}, {nehalem, conroe}, {conroe}});
  ASSERT_EQ(s.Kinds.size(), 2u);
  EXPECT_EQ(s.Kinds[0].Machines, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(s.Kinds[0].Processors, 3u);
  EXPECT_EQ(s.Kinds[0].Level, 2);
  EXPECT_EQ(s.Kinds[1].Machines, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(s.Kinds[1].Processors, 2u);
  EXPECT_EQ(s.Kinds[1].Model, 15u);
  EXPECT_EQ(s.CommonLevel, 1);

  std::vector<std::string> differing;
  for (const tFeatureSpread& spread : s.Differing) {
    differing.push_back(spread.Feature);
    EXPECT_EQ(spread.Kinds, (std::vector<std::size_t>{0})) << spread.Feature;
  }
  EXPECT_EQ(differing, (std::vector<std::string>{"sse4_1", "sse4_2", "popcnt", "lahf_lm"}));

  const std::string text = FleetSummaryText(s);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "3 machines (files), 5 logical processors, 2 kinds of processor; the level all of "
            "them have: x86-64-v1");
  EXPECT_NE(text.find("\n  sse4_1   1\n"), std::string::npos) << text;
  const std::string json = FleetSummaryJson(s);
  EXPECT_NE(json.find("\"differing_features\": [\n    {\"feature\": \"sse4_1\", \"kinds\": [1]}"),
            std::string::npos)
      << json;
}

TEST(FleetSummary, OneKindHasNothingThatDiffers) {
  const tCpuidStore one = Machine(0x106A5, kV2Ecx, 1);
  const tFleetSummary s = SummariseFleet({"a", "b"}, {{one}, {one}});
  ASSERT_EQ(s.Kinds.size(), 1u);
  EXPECT_EQ(s.Kinds[0].Machines.size(), 2u);
  EXPECT_TRUE(s.Differing.empty());
  EXPECT_NE(FleetSummaryText(s).find("No feature differs"), std::string::npos);
}

TEST(FleetSummary, FileNamesThatAreNotUtf8StayReadableJson) {
  const tCpuidStore one = Machine(0x106A5, kV2Ecx, 1);
  // "\xE9" alone is no UTF-8; as Windows-1252 it is "é" (U+00E9, C3 A9).
  const std::string json = FleetSummaryJson(
      SummariseFleet({"caf\xC3\xA9.txt", "caf\xE9.txt", "tab\t.txt"}, {{one}, {one}, {one}}));
  EXPECT_NE(json.find("\"machines\": [\"caf\xC3\xA9.txt\", \"caf\xC3\xA9.txt\", "
                      "\"tab\\u0009.txt\"]"),
            std::string::npos)
      << json;
}

}  // namespace
