// Construction, capture, re-identification and destruction of the engine, with fake
// processor services that record what the engine asks of them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/CPUid.h"

namespace {

// Answers every CPUID with (leaf, selected slot, generation, 0), so each stored result
// tells which processor and which identification produced it.
class tFakeServices final : public platform::cClocklessProcessorServices {
 public:
  explicit tFakeServices(unsigned count) : count_(count) {}

  unsigned ProcessorCount() override { return count_; }
  bool PinThread(unsigned slot) override {
    std::lock_guard<std::mutex> lock(mutex_);
    pins_.push_back(slot);
    selected_ = slot;
    return !refuse_pins_;
  }
  void RestoreThread() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++restores_;
  }
  bool Cpuid(std::uint32_t leaf, std::uint32_t, tCPUIDResult& out) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (selected_ == fault_slot_ && leaf == fault_leaf_) return false;
    out = {leaf, selected_, generation_, 0};
    return true;
  }

  void SetCount(unsigned count) { count_ = count; }
  void NextGeneration() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
  }
  void FaultOn(unsigned slot, std::uint32_t leaf) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_slot_ = slot;
    fault_leaf_ = leaf;
  }
  void RefusePins() {
    std::lock_guard<std::mutex> lock(mutex_);
    refuse_pins_ = true;
  }
  std::vector<unsigned> TakePins() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(pins_, {});
  }
  unsigned Restores() {
    std::lock_guard<std::mutex> lock(mutex_);
    return restores_;
  }

 private:
  std::atomic<unsigned> count_;
  std::mutex mutex_;
  std::vector<unsigned> pins_;
  unsigned restores_ = 0;
  unsigned selected_ = 0;
  unsigned generation_ = 1;
  unsigned fault_slot_ = ~0u;
  std::uint32_t fault_leaf_ = 0;
  bool refuse_pins_ = false;
};

struct tEngine {
  explicit tEngine(unsigned count) {
    auto owned = std::make_unique<tFakeServices>(count);
    fake = owned.get();
    engine = std::make_unique<cCPUid>(std::move(owned), false);
  }
  tFakeServices* fake;  // owned by the engine
  std::unique_ptr<cCPUid> engine;
};

std::vector<unsigned> Ascending(unsigned count) {
  std::vector<unsigned> slots(count);
  for (unsigned i = 0; i < count; ++i)
    slots[i] = i;
  return slots;
}

TEST(EngineLifecycle, ArraysHaveOneSlotPerProcessorAndAtLeastEight) {
  struct Case {
    unsigned processors;
    std::size_t slots;
  };
  for (const Case c : {Case{1, 8}, Case{2, 8}, Case{10, 10}}) {
    tEngine t(c.processors);
    const cCPUid& e = *t.engine;
    SCOPED_TRACE(c.processors);
    EXPECT_EQ(e.CPUCount, c.processors);
    for (const std::size_t size :
         {e.FlagBrand.size(), e.CPUdata.size(), e.CPUid_m.size(), e.CPUfeatures.size(),
          e.Clocks.size(), e.FeaturesFlags.size(), e.EPM.size(), e.level1.size(), e.level2.size(),
          e.level3.size(), e.nameinfo.size(), e.MultiplierMethod.size(),
          e.CacheDescriptors.size()}) {
      EXPECT_EQ(size, c.slots);
    }
    // Each processor was captured on its own slot; the slots without one stay zero.
    for (unsigned slot = 0; slot < c.slots; ++slot) {
      const tCPUdata& data = e.CPUdata[slot];
      const bool captured = slot < c.processors;
      EXPECT_EQ(data.ExtLeaf[4].EAX, captured ? 0x80000004u : 0u) << slot;
      EXPECT_EQ(data.SpecialLeaf[1].EBX, captured ? slot : 0u) << slot;
      EXPECT_EQ(data.SpecialLeaf[1].ECX, captured ? 1u : 0u) << slot;
    }
  }
}

TEST(EngineLifecycle, CapturePinsEveryProcessorInTurnThenRestores) {
  tEngine t(3);
  EXPECT_EQ(t.fake->TakePins(), Ascending(3));
  EXPECT_EQ(t.fake->Restores(), 1u);
  t.engine->Identify();
  EXPECT_EQ(t.fake->TakePins(), Ascending(3));
  EXPECT_EQ(t.fake->Restores(), 2u);
}

TEST(EngineLifecycle, AProcessorThatCannotBePinnedKeepsItsCapture) {
  tEngine t(2);
  t.fake->RefusePins();
  t.fake->NextGeneration();
  t.engine->Identify();
  for (unsigned slot = 0; slot < 2; ++slot) {
    EXPECT_EQ(t.engine->CPUdata[slot].StdLeaf[3].ECX, 1u) << slot;
    EXPECT_EQ(t.engine->CPUdata[slot].StdLeaf[3].EBX, slot) << "not another processor's";
  }
}

TEST(EngineLifecycle, AFaultEndsThatProcessorsCaptureAndKeepsItsEarlierResults) {
  tEngine t(2);
  t.fake->NextGeneration();
  t.fake->FaultOn(1, 0x80000002);
  t.engine->Identify();
  const cCPUid& e = *t.engine;
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    EXPECT_EQ(e.CPUdata[0].Row(k).ECX, 2u) << "slot 0 row " << k;
    const unsigned generation = k < 8 ? 2u : 1u;  // row 8 is leaf 0x80000002
    EXPECT_EQ(e.CPUdata[1].Row(k).ECX, generation) << "slot 1 row " << k;
  }
}

TEST(EngineLifecycle, ProcessorsThatAppearLaterAreNotIndexed) {
  tEngine t(2);
  t.fake->TakePins();
  t.fake->SetCount(40);
  t.engine->Identify();
  EXPECT_EQ(t.engine->SlotCount(), 8u);
  EXPECT_EQ(t.fake->TakePins(), Ascending(2));
  t.fake->SetCount(1);
  t.engine->Identify();
  EXPECT_EQ(t.fake->TakePins(), Ascending(2)) << "capture covers the processors of the start";
}

TEST(EngineLifecycle, TheThreadReportsItsFirstPassAndIdentifyCanRunMeanwhile) {
  tEngine t(4);
  cCPUid& e = *t.engine;
  e.WaitClocksReady();
  EXPECT_EQ(e.ClocksReady, 1);

  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done) {
      for (unsigned slot = 0; slot < 10; ++slot)
        static_cast<void>(e.ClocksOf(slot));
    }
  });
  for (int round = 0; round < 50; ++round) {
    t.fake->NextGeneration();
    e.Identify();
  }
  done = true;
  reader.join();
  EXPECT_EQ(e.CPUdata[3].StdLeaf[0].ECX, 51u);
}

TEST(EngineLifecycle, DestroyStopsTheThreadWithoutWaitingOutItsPause) {
  tEngine t(2);
  cCPUid& e = *t.engine;
  e.WaitClocksReady();  // the thread now sleeps for 2000 ms
  const auto start = std::chrono::steady_clock::now();
  e.Destroy();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(1000));

  EXPECT_EQ(e.SlotCount(), 0u);
  EXPECT_TRUE(e.nameinfo.empty());
  EXPECT_TRUE(e.MultiplierMethod.empty());
  e.Identify();  // nothing left to identify, and nothing breaks
  e.Destroy();
  EXPECT_EQ(e.ClocksOf(0).CoreClock, 0.0);
}

TEST(EngineLifecycle, WaitingForClocksEndsWhenTheEngineStopsFirst) {
  // In a child that an alarm ends: a wait that never returns fails the test instead of
  // holding it.
  EXPECT_EXIT(
      {
        alarm(5);
        tEngine t(1);
        t.engine->Destroy();
        t.engine->WaitClocksReady();  // returns at once: the thread is gone
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
