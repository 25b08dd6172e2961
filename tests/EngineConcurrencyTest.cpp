// The engine's threads: a measuring pass measures every processor at once, identifications and
// measurements take turns, readers get whole records at any time, a processor that cannot be
// reached keeps its records, and a stop ends what is under way without starting anything new.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/CPUid.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/GatedProcessors.h"

namespace {

using namespace std::chrono_literals;

// A processor after the legacy naming tables: named without measuring.
tRawCpu Modern() {
  return tRawCpu::Intel(6, 10, 7).ExtendedFamilyModel(0, 2);
}

// An AMD family 6 processor: its naming measures the clocks.
tRawCpu Measured() {
  return tRawCpu::Amd(6, 8, 0);
}

std::unique_ptr<tGatedProcessors> Gated(unsigned count, const tRawCpu& cpu) {
  return std::make_unique<tGatedProcessors>(std::vector<tCPUdata>(count, cpu.Data()));
}

// Constructs an engine over `count` processors whose naming measures, with the gate closed
// until all those measurements are held there (10 s at the most). `atOnce`: they all were.
std::unique_ptr<cCPUid> ConstructedAtTheGate(unsigned count, tGatedProcessors*& fake,
                                             bool& atOnce) {
  auto owned = Gated(count, Measured());
  fake = owned.get();
  fake->CloseGate();
  std::unique_ptr<cCPUid> engine;
  std::thread constructing([&] { engine = std::make_unique<cCPUid>(std::move(owned), true); });
  atOnce = fake->WaitForHeldWindows(count);
  fake->OpenGate();
  constructing.join();
  return engine;
}

// The generation of the capture a record was decoded from (leaf 0x8FFFFFFF EAX).
std::uint32_t GenerationOf(const tProcessorRecords& records, unsigned slot) {
  return records.CPUdata[slot].SpecialLeaf[1].EAX;
}

// Reads every clock record and the published records, again and again, until told to stop.
class tReader {
 public:
  tReader(const cCPUid& engine, unsigned slots)
      : thread_([this, &engine, slots] {
          while (!done_) {
            const std::shared_ptr<const tProcessorRecords> records = engine.Records();
            for (unsigned slot = 0; slot < slots; ++slot) {
              const tClocks clocks = engine.ClocksOf(slot);
              sum_ += clocks.CoreClock + clocks.BusFactor + GenerationOf(*records, slot);
            }
          }
        }) {}
  ~tReader() {
    done_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  double sum_ = 0;
  std::thread thread_;
};

TEST(EngineConcurrency, APassMeasuresEveryProcessorAtOnceAndAnIdentificationWaitsForIt) {
  constexpr unsigned kProcessors = 6;
  auto owned = Gated(kProcessors, Modern());
  tGatedProcessors& fake = *owned;
  fake.CloseGate();
  cCPUid engine(std::move(owned), true);  // the thread's first pass now waits at the gate
  {
    tReader reader(engine, kProcessors);
    ASSERT_TRUE(fake.WaitForHeldWindows(kProcessors))
        << "the pass does not measure every processor at once";
    fake.NextGeneration();
    std::thread identifying([&engine] { engine.Identify(); });
    EXPECT_FALSE(fake.WaitForOverlap(200ms))
        << "an identification captured while measurements were in their window";
    fake.OpenGate();
    identifying.join();
  }
  engine.WaitClocksReady();
  EXPECT_FALSE(fake.GateTimedOut());
  EXPECT_FALSE(fake.Overlapped());
  // The records a pass one processor after another gives: each slot's own clock.
  for (unsigned slot = 0; slot < kProcessors; ++slot) {
    EXPECT_DOUBLE_EQ(engine.ClocksOf(slot).CoreClock, tGatedProcessors::MHzOf(slot, 1)) << slot;
    EXPECT_EQ(GenerationOf(*engine.Records(), slot), 2u) << slot;
  }
}

TEST(EngineConcurrency, NamingMeasuresEveryProcessorAtOnce) {
  constexpr unsigned kProcessors = 5;
  tGatedProcessors* fake = nullptr;
  bool atOnce = false;
  const std::unique_ptr<cCPUid> engine = ConstructedAtTheGate(kProcessors, fake, atOnce);
  ASSERT_TRUE(atOnce) << "naming measures the processors one after another";
  for (unsigned slot = 0; slot < kProcessors; ++slot) {
    const tClocks clocks = engine->ClocksOf(slot);
    EXPECT_DOUBLE_EQ(clocks.CoreClock, tGatedProcessors::MHzOf(slot, 1)) << slot;
    EXPECT_EQ(clocks.BusFactor, 2) << slot;
    EXPECT_EQ(engine->Records()->MultiplierMethod[slot], 1) << slot;
  }
}

TEST(EngineConcurrency, AnIdentificationInTheBackgroundNeverWaitsAndIsPublishedWhole) {
  constexpr unsigned kProcessors = 4;
  auto owned = Gated(kProcessors, Modern());
  tGatedProcessors& fake = *owned;
  fake.CloseGate();
  cCPUid engine(std::move(owned), true);
  ASSERT_TRUE(fake.WaitForHeldWindows(kProcessors));

  const std::shared_ptr<const tProcessorRecords> before = engine.Records();
  fake.NextGeneration();
  std::mutex mutex;
  std::condition_variable identified;
  std::thread::id identifiedOn;
  // Returns while the pass still holds the work lock.
  engine.IdentifyInBackground([&] {
    std::lock_guard<std::mutex> lock(mutex);
    identifiedOn = std::this_thread::get_id();
    identified.notify_all();
  });
  EXPECT_EQ(engine.Records(), before) << "published before the pass let the identification in";
  fake.OpenGate();
  {
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(identified.wait_for(lock, 10s, [&] { return identifiedOn != std::thread::id{}; }));
  }
  EXPECT_NE(identifiedOn, std::this_thread::get_id());
  EXPECT_FALSE(fake.GateTimedOut());
  const std::shared_ptr<const tProcessorRecords> after = engine.Records();
  for (unsigned slot = 0; slot < kProcessors; ++slot) {
    EXPECT_EQ(GenerationOf(*before, slot), 1u) << "a published set never changes";
    EXPECT_EQ(GenerationOf(*after, slot), 2u);
  }
}

TEST(EngineConcurrency, AProcessorThatCannotBePinnedKeepsItsRecords) {
  constexpr unsigned kProcessors = 3;
  auto owned = Gated(kProcessors, Measured());
  tGatedProcessors& fake = *owned;
  cCPUid engine(std::move(owned), true);
  engine.WaitClocksReady();
  fake.RefusePin(1);  // gone offline
  fake.NextGeneration();
  engine.Identify();  // captures and, through naming, measures every processor
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  for (unsigned slot = 0; slot < kProcessors; ++slot) {
    const std::uint32_t generation = slot == 1 ? 1 : 2;
    EXPECT_EQ(GenerationOf(*records, slot), generation) << slot;
    EXPECT_DOUBLE_EQ(engine.ClocksOf(slot).CoreClock, tGatedProcessors::MHzOf(slot, generation))
        << slot;
  }
}

TEST(EngineConcurrency, AStopDuringAnIdentificationLetsItsWindowsEndAndStartsNothingMore) {
  constexpr unsigned kProcessors = 3;
  tGatedProcessors* fakeAt = nullptr;
  bool atOnce = false;
  const std::unique_ptr<cCPUid> engine = ConstructedAtTheGate(kProcessors, fakeAt, atOnce);
  ASSERT_TRUE(atOnce);  // naming measures
  tGatedProcessors& fake = *fakeAt;
  engine->WaitClocksReady();  // the first pass: another measurement of each

  fake.CloseGate();
  bool identified = false;
  engine->IdentifyInBackground([&identified] { identified = true; });
  ASSERT_TRUE(fake.WaitForHeldWindows(kProcessors));  // the identification's naming measures
  std::thread destroying([&] { engine->Destroy(); });
  fake.OpenGate();
  destroying.join();
  EXPECT_EQ(fake.Measurements(), 3 * kProcessors) << "no pass after the stop";
  EXPECT_TRUE(identified);
  EXPECT_EQ(engine->SlotCount(), 0u);
  EXPECT_EQ(engine->Records()->SlotCount(), 0u);
  EXPECT_FALSE(fake.GateTimedOut());
}

}  // namespace
