// The capture rules, run against scripted processors: what is executed, in which ranges,
// how sub-leaves are enumerated, and that processors which lie about maxima or never end a
// list cannot make the capture run away.
#include "engine/capture/CpuidCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

using tPair = std::pair<std::uint32_t, std::uint32_t>;

// A processor that answers from a table of (leaf, sub-leaf) answers; any other pair gets
// `fallback`. Every execution is logged.
class tScriptedProcessor : public platform::cClocklessProcessorServices {
 public:
  std::map<tPair, tCPUIDResult> Answers;
  std::function<tCPUIDResult(std::uint32_t, std::uint32_t)> Fallback =
      [](std::uint32_t, std::uint32_t) { return tCPUIDResult{}; };
  std::set<tPair> FaultsOn;
  std::vector<tPair> Executed;

  unsigned ProcessorCount() override { return 1; }
  bool PinThread(unsigned) override { return true; }
  void RestoreThread() override {}
  bool Cpuid(std::uint32_t leaf, std::uint32_t sub, tCPUIDResult& out) override {
    Executed.emplace_back(leaf, sub);
    if (FaultsOn.count({leaf, sub}) != 0) return false;
    const auto known = Answers.find({leaf, sub});
    out = known != Answers.end() ? known->second : Fallback(leaf, sub);
    return true;
  }

  void Set(std::uint32_t leaf, std::uint32_t sub, tCPUIDResult r) { Answers[{leaf, sub}] = r; }
  std::set<tPair> SubLeavesOf(std::uint32_t leaf) const {
    std::set<tPair> subs;
    for (const tPair& pair : Executed) {
      if (pair.first == leaf) subs.insert(pair);
    }
    return subs;
  }
  std::set<std::uint32_t> LeavesIn(std::uint32_t lo, std::uint32_t hi) const {
    std::set<std::uint32_t> leaves;
    for (const tPair& pair : Executed) {
      if (pair.first >= lo && pair.first <= hi) leaves.insert(pair.first);
    }
    return leaves;
  }
};

tCpuidStore Capture(tScriptedProcessor& cpu, bool expectComplete = true) {
  tCpuidStore store;
  EXPECT_EQ(CaptureCpuid(cpu, store), expectComplete);
  return store;
}

std::set<std::uint32_t> Consecutive(std::uint32_t first, std::uint32_t last) {
  std::set<std::uint32_t> leaves;
  for (std::uint32_t leaf = first; leaf <= last; ++leaf)
    leaves.insert(leaf);
  return leaves;
}

std::set<tPair> SubLeaves(std::uint32_t leaf, std::initializer_list<std::uint32_t> subs) {
  std::set<tPair> pairs;
  for (const std::uint32_t sub : subs)
    pairs.emplace(leaf, sub);
  return pairs;
}

std::set<tPair> SubLeavesUpTo(std::uint32_t leaf, std::uint32_t last) {
  std::set<tPair> pairs;
  for (std::uint32_t sub = 0; sub <= last; ++sub)
    pairs.emplace(leaf, sub);
  return pairs;
}

TEST(CpuidCapture, TheTwentySevenLeavesComeFirstAndInTheirOrderWhateverTheMaxima) {
  tScriptedProcessor cpu;  // every answer zero: maximum standard leaf 0, no other range
  const tCpuidStore store = Capture(cpu);
  ASSERT_GE(cpu.Executed.size(), kCapturedLeaves);
  for (std::size_t k = 0; k < kCapturedLeaves; ++k)
    EXPECT_EQ(cpu.Executed[k], tPair(CaptureLeaf(k), 0)) << k;
  // Leaves 1 to 5 lie above the maximum of 0 and are kept all the same.
  EXPECT_TRUE(store.Has(5));
  EXPECT_TRUE(store.Has(0x8FFFFFFF));
  // Beyond them only the hypervisor leaves are probed.
  const std::set<tPair> extra(cpu.Executed.begin() + kCapturedLeaves, cpu.Executed.end());
  EXPECT_EQ(extra, (std::set<tPair>{{0x40000000, 0}, {0x40000100, 0}}));
}

TEST(CpuidCapture, EveryPairIsExecutedOnceAndStoredInOrder) {
  tScriptedProcessor cpu;
  cpu.Set(0, 0, {0xD, 0, 0, 0});
  cpu.Set(4, 0, {0x121, 0, 0, 0});
  cpu.Set(0xD, 0, {0x7, 0, 0, 0});
  cpu.Set(0x80000000, 0, {0x80000021, 0, 0, 0});
  const tCpuidStore store = Capture(cpu);
  const std::set<tPair> distinct(cpu.Executed.begin(), cpu.Executed.end());
  EXPECT_EQ(distinct.size(), cpu.Executed.size()) << "a pair executed twice";
  EXPECT_EQ(store.Size(), cpu.Executed.size());
  EXPECT_TRUE(std::is_sorted(store.Entries().begin(), store.Entries().end(),
                             [](const tCpuidEntry& a, const tCpuidEntry& b) {
                               return tPair(a.Leaf, a.SubLeaf) < tPair(b.Leaf, b.SubLeaf);
                             }));
}

struct tRangeCase {
  const char* What;
  std::uint32_t Head;
  std::uint32_t ReportedMax;
  std::uint32_t ProbeFrom, ProbeTo;  // the leaves to look at
  std::set<std::uint32_t> Expected;  // the leaves of them executed
};

TEST(CpuidCapture, RangesRunToTheirReportedMaximumWithinTheirBounds) {
  const std::vector<tRangeCase> cases{
      {"standard range to its maximum", 0, 0x1F, 0, 0xFFFF, Consecutive(0, 0x1F)},
      {"standard maximum 0xFFFFFFFF stops at 0x3F", 0, 0xFFFFFFFF, 0, 0xFFFF, Consecutive(0, 0x3F)},
      {"extended range to its maximum", 0x80000000, 0x80000028, 0x80000000, 0x8000FFFF,
       Consecutive(0x80000000, 0x80000028)},
      {"extended range to its bound", 0x80000000, 0x800000FF, 0x80000000, 0x8000FFFF,
       Consecutive(0x80000000, 0x800000FF)},
      {"an extended maximum outside the range is no range: the legacy leaves only", 0x80000000,
       0xFFFFFFFF, 0x80000000, 0x8000FFFF, Consecutive(0x80000000, 0x80000008)},
      {"hypervisor range", 0x40000000, 0x4000000C, 0x40000000, 0x400000FF,
       Consecutive(0x40000000, 0x4000000C)},
      {"hypervisor maximum outside the range",
       0x40000000,
       0x7FFFFFFF,
       0x40000000,
       0x4FFFFFFF,
       {0x40000000, 0x40000100}},
      {"second hypervisor range", 0x40000100, 0x40000105, 0x40000100, 0x400001FF,
       Consecutive(0x40000100, 0x40000105)},
      {"Centaur range", 0xC0000000, 0xC0000004, 0xC0000000, 0xC000FFFF,
       Consecutive(0xC0000000, 0xC0000004)},
      {"Centaur maximum outside the range: the legacy leaves only", 0xC0000000, 0xC0001000,
       0xC0000000, 0xC000FFFF, Consecutive(0xC0000000, 0xC0000001)},
      {"Transmeta range", 0x80860000, 0x8086000A, 0x80860000, 0x8086FFFF,
       Consecutive(0x80860000, 0x8086000A)},
  };
  for (const tRangeCase& c : cases) {
    tScriptedProcessor cpu;
    cpu.Set(c.Head, 0, {c.ReportedMax, 0, 0, 0});
    Capture(cpu);
    EXPECT_EQ(cpu.LeavesIn(c.ProbeFrom, c.ProbeTo), c.Expected) << c.What;
  }
}

// A processor with every standard leaf present whose answers to one leaf never end its list.
tScriptedProcessor NeverEnding(std::uint32_t leaf) {
  tScriptedProcessor cpu;
  cpu.Set(0, 0, {0x3F, 0, 0, 0});
  cpu.Set(0x80000000, 0, {0x800000FF, 0, 0, 0});
  cpu.Fallback = [leaf](std::uint32_t asked, std::uint32_t) {
    return asked == leaf ? tCPUIDResult{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}
                         : tCPUIDResult{};
  };
  return cpu;
}

TEST(CpuidCapture, ListsThatNeverEndStopAtTheirBound) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> bounds{
      {0x4, 16},  {0x7, 8},         {0xB, 8},         {0xD, 64},      {0xF, 32},
      {0x10, 32}, {0x12, 34},       {0x14, 8},        {0x17, 8},      {0x18, 32},
      {0x1B, 8},  {0x1D, 8},        {0x1F, 8},        {0x20, 8},      {0x23, 32},
      {0x24, 8},  {0x8000001D, 16}, {0x80000020, 32}, {0x80000026, 8}};
  for (const auto& [leaf, bound] : bounds) {
    tScriptedProcessor cpu = NeverEnding(leaf);
    Capture(cpu);
    EXPECT_EQ(cpu.SubLeavesOf(leaf).size(), bound) << std::hex << leaf;
  }
}

TEST(CpuidCapture, AProcessorThatAnswersEverythingWithOnesEndsWithinItsBounds) {
  tScriptedProcessor cpu;
  cpu.Fallback = [](std::uint32_t, std::uint32_t) {
    return tCPUIDResult{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  };
  const tCpuidStore store = Capture(cpu);
  // Leaves 0 to 0x3F (64) and the sub-leaves past 0 of their rules: 4: 15, 7: 7, 0xB: 7,
  // 0xD: 63, 0xF: 31, 0x10: 31, 0x12: 33, 0x14: 7, 0x17: 7, 0x18: 31, 0x1B: 7, 0x1D: 7,
  // 0x1F: 7, 0x20: 7, 0x23: 31, 0x24: 7 (298). Every other range reports a maximum outside
  // itself: the 21 legacy leaves outside the standard range and the two hypervisor probes come
  // on top.
  EXPECT_EQ(store.Size(), 64u + 298u + 21u + 2u);
  EXPECT_TRUE(store.Has(0x3F));
  EXPECT_FALSE(store.Has(0x40));
  EXPECT_FALSE(store.Has(0x80000009));
}

struct tSubLeafCase {
  const char* What;
  std::uint32_t Leaf;
  std::vector<std::pair<std::uint32_t, tCPUIDResult>> Answers;
  std::set<tPair> Expected;
};

TEST(CpuidCapture, SubLeavesFollowTheRuleOfTheirLeaf) {
  const std::vector<tSubLeafCase> cases{
      {"leaf 4 to and including the first cache type 0",
       4,
       {{0, {0x121, 0, 0, 0}}, {1, {0x122, 0, 0, 0}}, {2, {0x143, 0, 0, 0}}, {3, {0x163, 0, 0, 0}}},
       SubLeavesUpTo(4, 4)},
      {"leaf 4 without any cache", 4, {}, SubLeaves(4, {0})},
      {"leaf 7 counted by sub-leaf 0 EAX", 7, {{0, {2, 0, 0, 0}}}, SubLeavesUpTo(7, 2)},
      {"leaf 0xB to the level of type 0",
       0xB,
       {{0, {1, 2, 0x100, 0}}, {1, {4, 16, 0x201, 0}}},
       SubLeavesUpTo(0xB, 2)},
      {"leaf 0x1F to the level of type 0",
       0x1F,
       {{0, {1, 2, 0x100, 0}}, {1, {7, 16, 0x201, 0}}, {2, {8, 16, 0x502, 0}}},
       SubLeavesUpTo(0x1F, 3)},
      {"leaf 0xD: 0, 1 and the components of XCR0 and IA32_XSS",
       0xD,
       {{0, {0x000000E7, 0, 0, 0x00080000}}, {1, {0xF, 0, 0x00001900, 0}}},
       SubLeaves(0xD, {0, 1, 2, 5, 6, 7, 8, 11, 12, 51})},
      {"leaf 0xF: the monitored resources", 0xF, {{0, {0, 0, 0, 0x2}}}, SubLeaves(0xF, {0, 1})},
      {"leaf 0x10: the allocatable resources",
       0x10,
       {{0, {0, 0xE, 0, 0}}},
       SubLeaves(0x10, {0, 1, 2, 3})},
      {"leaf 0x12: 0 and 1, then EPC sections until type 0",
       0x12,
       {{2, {0x1, 0, 0, 0}}, {3, {0x1, 0, 0, 0}}},
       SubLeavesUpTo(0x12, 4)},
      {"leaf 0x18 counted", 0x18, {{0, {8, 0, 0, 0}}}, SubLeavesUpTo(0x18, 8)},
      {"leaf 0x1B to the sub-leaf of type 0",
       0x1B,
       {{0, {1, 0, 0, 0}}, {1, {1, 0, 0, 0}}},
       SubLeavesUpTo(0x1B, 2)},
      {"leaf 0x8000001D to the cache of type 0",
       0x8000001D,
       {{0, {0x121, 0, 0, 0}}, {1, {0x122, 0, 0, 0}}, {2, {0x143, 0, 0, 0}}, {3, {0x163, 0, 0, 0}}},
       SubLeavesUpTo(0x8000001D, 4)},
      {"leaf 0x80000026 to the level of type 0",
       0x80000026,
       {{0, {1, 2, 0x100, 0}}, {1, {4, 8, 0x201, 0}}, {2, {5, 0x18, 0x302, 0}}},
       SubLeavesUpTo(0x80000026, 3)},
      {"leaf 0x24 counted by sub-leaf 0 EAX", 0x24, {{0, {1, 2, 0, 0}}}, SubLeavesUpTo(0x24, 1)},
      {"a leaf without a rule: sub-leaf 0 only", 0x16, {{0, {3, 4, 5, 6}}}, SubLeaves(0x16, {0})},
  };
  for (const tSubLeafCase& c : cases) {
    tScriptedProcessor cpu;
    cpu.Set(0, 0, {0x24, 0, 0, 0});
    cpu.Set(0x80000000, 0, {0x80000026, 0, 0, 0});
    for (const auto& [sub, answer] : c.Answers)
      cpu.Set(c.Leaf, sub, answer);
    const tCpuidStore store = Capture(cpu);
    EXPECT_EQ(cpu.SubLeavesOf(c.Leaf), c.Expected) << c.What;
    EXPECT_EQ(store.SubLeaves(c.Leaf).size(), c.Expected.size()) << c.What;
  }
}

TEST(CpuidCapture, SubLeavesOfALeafAboveTheMaximumAreNotEnumerated) {
  tScriptedProcessor cpu;
  cpu.Set(0, 0, {0x2, 0, 0, 0});  // leaf 4 is executed as one of the 27, never enumerated
  cpu.Set(4, 0, {0x121, 0, 0, 0});
  Capture(cpu);
  EXPECT_EQ(cpu.SubLeavesOf(4), SubLeaves(4, {0}));
}

TEST(CpuidCapture, AFaultEndsTheCaptureAndKeepsWhatCameBefore) {
  tScriptedProcessor legacy;
  legacy.FaultsOn = {{0x80000003, 0}};
  const tCpuidStore early = Capture(legacy, false);
  EXPECT_TRUE(early.Has(0x80000002));
  EXPECT_FALSE(early.Has(0x80000003));
  EXPECT_FALSE(early.Has(0x80000004)) << "nothing after the fault";
  EXPECT_EQ(legacy.Executed.back(), tPair(0x80000003, 0));

  tScriptedProcessor late;
  late.Set(0, 0, {0xB, 0, 0, 0});
  late.Set(0xB, 0, {1, 2, 0x100, 0});
  late.FaultsOn = {{0xB, 1}};
  const tCpuidStore store = Capture(late, false);
  EXPECT_TRUE(store.Has(0xB, 0));
  EXPECT_FALSE(store.Has(0xB, 1));
  EXPECT_FALSE(store.Has(0x40000000)) << "the probes after the fault";
  EXPECT_EQ(late.Executed.back(), tPair(0xB, 1));
}

// Three processors the operating system numbers 4, 6 and 9, each answering every leaf with
// its own number; the thread cannot be moved to the second.
class tThreeProcessors final : public tScriptedProcessor {
 public:
  bool Restored = false;

  unsigned ProcessorCount() override { return 3; }
  bool PinThread(unsigned slot) override {
    pinned_ = slot;
    return slot != 1;
  }
  void RestoreThread() override { Restored = true; }
  int OsCpuOf(unsigned slot) const override { return kNumbers[slot]; }
  bool Cpuid(std::uint32_t, std::uint32_t, tCPUIDResult& out) override {
    out = {0, static_cast<std::uint32_t>(kNumbers[pinned_]), 0, 0};
    return true;
  }

 private:
  static constexpr std::array<int, 3> kNumbers{4, 6, 9};
  unsigned pinned_ = 0;
};

TEST(CpuidCapture, EveryProcessorIsCapturedOnItselfWithItsNumber) {
  tThreeProcessors cpus;
  const std::vector<tCpuidStore> stores = CaptureEveryProcessor(cpus);
  ASSERT_EQ(stores.size(), 2u);
  EXPECT_EQ(stores[0].OsCpu, 4);
  EXPECT_EQ(stores[0].Get(1).EBX, 4u);
  EXPECT_EQ(stores[1].OsCpu, 9);
  EXPECT_EQ(stores[1].Get(1).EBX, 9u);
  EXPECT_TRUE(cpus.Restored);
}

}  // namespace
