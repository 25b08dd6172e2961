// The store of captured answers: order, replacement, lookup, and the 27 legacy rows read
// from it.
#include "engine/store/CpuidStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

tCPUIDResult Answer(std::uint32_t n) {
  return {n, n + 1, n + 2, n + 3};
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> Keys(const tCpuidStore& store) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
  for (const tCpuidEntry& entry : store.Entries())
    keys.emplace_back(entry.Leaf, entry.SubLeaf);
  return keys;
}

TEST(CpuidStore, KeepsPairsInLeafThenSubLeafOrderWhateverTheOrderOfCapture) {
  tCpuidStore store;
  store.Put(0x80000000, 0, Answer(1));
  store.Put(4, 1, Answer(2));
  store.Put(0, 0, Answer(3));
  store.Put(4, 0, Answer(4));
  store.Put(0x40000000, 0, Answer(5));
  store.Put(4, 0x10, Answer(6));
  store.Put(7, 0, Answer(7));
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected{
      {0, 0}, {4, 0}, {4, 1}, {4, 0x10}, {7, 0}, {0x40000000, 0}, {0x80000000, 0}};
  EXPECT_EQ(Keys(store), expected);
}

TEST(CpuidStore, ALaterAnswerOfAPairReplacesTheEarlierOne) {
  tCpuidStore store;
  store.Put(4, 1, Answer(1));
  store.Put(4, 0, Answer(2));
  store.Put(4, 1, Answer(3));
  EXPECT_EQ(store.Size(), 2u);
  EXPECT_EQ(store.Get(4, 1), Answer(3));
}

TEST(CpuidStore, TellsANotExecutedPairFromAnAnswerOfZeros) {
  tCpuidStore store;
  store.Put(2, 0, tCPUIDResult{});
  EXPECT_TRUE(store.Has(2));
  EXPECT_EQ(store.Find(2), store.Find(2, 0));
  EXPECT_FALSE(store.Has(2, 1));
  EXPECT_FALSE(store.Has(3));
  EXPECT_EQ(store.Find(3), nullptr);
  EXPECT_EQ(store.Get(3), tCPUIDResult{});
}

TEST(CpuidStore, ListsTheSubLeavesOfOneLeaf) {
  tCpuidStore store;
  for (std::uint32_t sub : {0u, 1u, 2u, 3u})
    store.Put(0xB, sub, Answer(sub));
  store.Put(0xA, 0, Answer(9));
  store.Put(0xD, 0, Answer(9));
  const auto levels = store.SubLeaves(0xB);
  ASSERT_EQ(levels.size(), 4u);
  EXPECT_EQ(levels.front().SubLeaf, 0u);
  EXPECT_EQ(levels.back().Result, Answer(3));
  EXPECT_TRUE(store.SubLeaves(0xC).empty());
  EXPECT_TRUE(store.SubLeaves(0xFFFFFFFF).empty());
}

TEST(CpuidStore, RecordingRoundTripKeepsEveryAnswer) {
  const platform::tCpuidRecording recording{
      {0x8000001D, 2, Answer(1)}, {1, 0, Answer(2)}, {0x8000001D, 0, Answer(3)}};
  const tCpuidStore store = StoreOf(recording, 5);
  EXPECT_EQ(store.OsCpu, 5);
  EXPECT_EQ(store.Size(), 3u);
  EXPECT_EQ(StoreOf(RecordingOf(store), 5), store);
}

TEST(CpuidStore, LegacyRowsComeFromSubLeafZeroAndUnheldRowsKeepTheirValues) {
  tCPUdata data;
  data.StdLeaf[3] = Answer(70);  // a row the store does not hold
  data.SpecialLeaf[1] = Answer(80);
  tCpuidStore store;
  store.Put(0, 0, Answer(1));
  store.Put(4, 0, Answer(2));
  store.Put(4, 1, Answer(3));  // not a legacy row
  store.Put(0x80000008, 0, Answer(4));
  store.Put(0x80860007, 0, Answer(5));
  store.Put(0xC0000001, 0, Answer(6));
  store.Put(0x8FFFFFFE, 0, Answer(7));
  store.Put(0x80000009, 0, Answer(8));  // past the legacy rows
  ApplyLegacyRows(store, data);
  EXPECT_EQ(data.StdLeaf[0], Answer(1));
  EXPECT_EQ(data.StdLeaf[3], Answer(70));
  EXPECT_EQ(data.StdLeaf[4], Answer(2));
  EXPECT_EQ(data.ExtLeaf[8], Answer(4));
  EXPECT_EQ(data.TmLeaf[7], Answer(5));
  EXPECT_EQ(data.CentaurLeaf[1], Answer(6));
  EXPECT_EQ(data.SpecialLeaf[0], Answer(7));
  EXPECT_EQ(data.SpecialLeaf[1], Answer(80));
}

}  // namespace
