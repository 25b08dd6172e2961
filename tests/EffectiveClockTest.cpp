// The effective clock: which source is taken, the kernel's figure told from the counter's rate,
// CPPC's counters, the cycles of a dependent addition per generation, the timed chain's
// arithmetic and runs; and the measuring window of the engine with each source, against a fake
// clock and fake kernel trees.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/CPUid.h"
#include "engine/clocks/EffectiveClock.h"
#include "engine/clocks/TimedChain.h"
#include "platform/ReplayProcessorServices.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(EffectiveClock, TheFirstSourceThatGivesOneIsTaken) {
  struct tCase {
    const char* Label;
    tEffectiveReadings Readings;
    tEffectiveClock Expected;
  } const cases[] = {
      {"counters first",
       {3150, 3000, 2900, 2800, 2700, 2100, 0},
       {3150, tEffectiveSource::AperfMperf}},
      {"then CPPC", {{}, 3000, 2900, 2800, 2700, 2100, 0}, {3000, tEffectiveSource::Cppc}},
      {"then cpufreq", {{}, {}, 2900, 2800, 2700, 2100, 0}, {2900, tEffectiveSource::Cpufreq}},
      {"then the kernel", {{}, {}, {}, 2800, 2700, 2100, 0}, {2800, tEffectiveSource::Kernel}},
      // 2596.000 against a measured 2595.98: the counter's rate, not a running clock.
      {"kernel at the counter's rate",
       {{}, {}, {}, 2596.0, 3670, 2595.98, 0},
       {3670, tEffectiveSource::TimedLoop}},
      // Within 0.5 % of the rate the hypervisor reports (2600 * 1.005 = 2613).
      {"kernel at the reported rate",
       {{}, {}, {}, 2612, 3670, 0, 2600},
       {3670, tEffectiveSource::TimedLoop}},
      // Nothing to tell the two apart: the kernel's figure is not taken.
      {"no rate known", {{}, {}, {}, 2800, {}, 0, 0}, {}},
      {"a zero is no reading", {0, {}, 0, {}, 3670, 2100, 0}, {3670, tEffectiveSource::TimedLoop}},
      {"nothing", {{}, {}, {}, {}, {}, 2100, 0}, {}},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tEffectiveClock chosen = ChooseEffectiveClock(c.Readings);
    EXPECT_EQ(chosen.CoreClock, c.Expected.CoreClock);
    EXPECT_EQ(chosen.Source, c.Expected.Source);
  }
}

TEST(EffectiveClock, SourceNames) {
  const std::pair<tEffectiveSource, const char*> names[] = {
      {tEffectiveSource::None, ""},         {tEffectiveSource::AperfMperf, "aperf/mperf"},
      {tEffectiveSource::Cppc, "cppc"},     {tEffectiveSource::Cpufreq, "cpufreq"},
      {tEffectiveSource::Kernel, "kernel"}, {tEffectiveSource::TimedLoop, "timed loop"},
  };
  for (const auto& [source, name] : names)
    EXPECT_EQ(EffectiveSourceName(source), name);
}

TEST(EffectiveClock, CppcCountersOverTheWindow) {
  struct tCase {
    const char* Label;
    std::uint64_t RefStart, DelStart, RefEnd, DelEnd;
    double NominalMhz;
    std::uint64_t NominalPerf, ReferencePerf;
    double Mhz;  // 0: none
  } const cases[] = {
      // Reference level 100 of nominal 200 at 3000 MHz: the reference counter runs at 1500 MHz;
      // delivered advanced twice as far: 3000 MHz.
      {"reference below nominal", 1000, 5000, 2000, 7000, 3000, 200, 100, 3000},
      // No reference level: it is the nominal one; 1.25 times 3800.
      {"reference is nominal", 0, 0, 800, 1000, 3800, 120, 0, 4750},
      {"reference did not advance", 1000, 5000, 1000, 7000, 3000, 200, 100, 0},
      {"delivered went back", 1000, 5000, 2000, 4000, 3000, 200, 100, 0},
      {"no nominal level", 1000, 5000, 2000, 7000, 3000, 0, 100, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto mhz = CppcMhz(c.RefStart, c.DelStart, c.RefEnd, c.DelEnd, c.NominalMhz,
                             c.NominalPerf, c.ReferencePerf);
    EXPECT_DOUBLE_EQ(mhz.value_or(0), c.Mhz);
  }
}

// Leaf 1 EAX of each part, with the latency of a dependent ADD r, r the vendors' optimization
// manuals give.
TEST(TimedChain, CyclesOfADependentAdditionPerGeneration) {
  struct tCase {
    const char* Label;
    tVendor Vendor;
    std::uint32_t Signature;
    double Cycles;  // 0: not known
  } const cases[] = {
      {"Pentium III (family 6 model 8)", tVendor::intel, 0x0683, 1},
      {"Raptor Lake (family 6 model 0xB7)", tVendor::intel, 0xB0671, 1},
      {"Northwood (family 15 model 2)", tVendor::intel, 0x0F29, 0.5},
      {"Prescott (family 15 model 3)", tVendor::intel, 0x0F34, 1},
      {"Cedar Mill (family 15 model 6)", tVendor::intel, 0x0F65, 1},
      {"Itanium 2 in IA-32 mode (family 15, extended 1)", tVendor::intel, 0x100F00, 0},
      {"Athlon (family 6)", tVendor::amd, 0x0642, 1},
      {"Zen 2 (family 0x17)", tVendor::amd, 0x870F10, 1},
      {"Zen 5 (family 0x1A)", tVendor::amd, 0xB40F40, 1},
      {"a later AMD family (0x1B)", tVendor::amd, 0xC00F00, 0},
      {"Cyrix: not known", tVendor::cyrix, 0x0520, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(AdditionCycles(c.Vendor, c.Signature).value_or(0), c.Cycles);
  }
}

TEST(TimedChain, TheFastestRunNotStolenFromGivesTheClock) {
  // 2^23 additions of one cycle in 2 285 700 ns: 3670.0 MHz (8388608 / 2.2857 ms).
  EXPECT_NEAR(ChainMhz(8'388'608, 1, 2'285'700), 3670.0, 0.05);
  // Half a cycle each: half the clock.
  EXPECT_NEAR(ChainMhz(8'388'608, 0.5, 2'285'700), 1835.0, 0.05);
  EXPECT_EQ(ChainMhz(8'388'608, 1, 0), 0);

  struct tCase {
    const char* Label;
    std::vector<std::optional<tChainRun>> Runs;
    std::int64_t Budget;
    unsigned Taken;  // runs asked for
    double Mhz;      // 0: none
  } const cases[] = {
      {"best of five",
       {tChainRun{3'000'000}, tChainRun{2'000'000}, tChainRun{2'500'000}, tChainRun{2'100'000},
        tChainRun{4'000'000}},
       100'000'000,
       5,
       4194.304},
      // The stolen run would have been the fastest.
      {"a stolen run is not counted",
       {tChainRun{3'000'000}, tChainRun{1'000'000, true}, tChainRun{2'000'000},
        tChainRun{2'500'000}, tChainRun{2'200'000}},
       100'000'000,
       5,
       4194.304},
      {"every run stolen",
       {tChainRun{2'000'000, true}, tChainRun{2'000'000, true}, tChainRun{2'000'000, true},
        tChainRun{2'000'000, true}, tChainRun{2'000'000, true}},
       100'000'000,
       5,
       0},
      // The runs stop once they have taken the budget: 4 + 4 ms of 6.
      {"the budget ends the runs",
       {tChainRun{4'000'000}, tChainRun{4'000'000}, tChainRun{1'000'000}},
       6'000'000,
       2,
       2097.152},
      {"no chain here", {std::nullopt}, 100'000'000, 1, 0},
      {"a run that took no time",
       {tChainRun{0}, tChainRun{0}, tChainRun{0}, tChainRun{0}, tChainRun{0}},
       100'000'000,
       5,
       0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    tChainPlan plan;
    plan.Runs = 5;
    plan.Additions = 8'388'608;
    plan.BudgetNanoseconds = c.Budget;
    unsigned taken = 0;
    const auto mhz = TimedChainMhz(plan, 1, [&]() -> std::optional<tChainRun> {
      return taken < c.Runs.size() ? c.Runs[taken++] : std::optional<tChainRun>(tChainRun{});
    });
    EXPECT_EQ(taken, c.Taken);
    EXPECT_NEAR(mhz.value_or(0), c.Mhz, 0.001);
  }
}

// ---- The measuring window of the engine ----------------------------------------------------

// A processor whose counter runs at `TscMhz` and whose core at `CoreMhz`: each sleep advances
// the nanosecond counter by its length, each chain by its additions at the core's clock, and
// the time-stamp counter with both. The kernel's files are a fake tree, which `OnSleep` may
// change while the window sleeps.
class tChainClocks final : public platform::IProcessorServices {
 public:
  tChainClocks(platform::tCpuidRecording cpu, double tscMhz, double coreMhz, std::string root)
      : replay_({cpu}), tscMhz_(tscMhz), coreMhz_(coreMhz), files_(std::move(root)) {}

  unsigned ProcessorCount() override { return 1; }
  bool PinThread(unsigned slot) override { return replay_.PinThread(slot); }
  void RestoreThread() override {}
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override {
    return replay_.Cpuid(leaf, subLeaf, out);
  }
  const platform::tCpuidRecording* Recorded(unsigned slot) const override {
    return replay_.Recorded(slot);
  }
  int OsCpuOf(unsigned) const override { return 0; }
  bool HasClocks() const override { return measuring_; }
  std::uint64_t ReadTimeStampCounter() override {
    return static_cast<std::uint64_t>(static_cast<double>(nanoseconds_) * tscMhz_ / 1000.0);
  }
  std::int64_t CounterNanoseconds() override { return nanoseconds_; }
  void RaisePriority() override {}
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds duration) override {
    nanoseconds_ += duration.count() * 1'000'000;
    if (OnSleep) OnSleep(duration);
  }
  int PackageOf(unsigned) override { return -1; }
  const platform::tSystemFiles* Files() const override { return &files_; }
  bool RunAdditionChain(std::uint64_t additions) override {
    ++Chains;
    std::int64_t taken =
        static_cast<std::int64_t>(static_cast<double>(additions) * 1000.0 / coreMhz_);
    // A stolen run: the kernel counts a tick of steal, and the run took three times as long.
    if (!StolenRuns.empty() && StolenRuns.front()) {
      taken *= 3;
      Stolen += 1;
      std::ofstream(files_root_ + "/proc/stat") << "cpu0 50 0 25 5000 1 0 1 " << Stolen << " 0 0\n";
    }
    if (!StolenRuns.empty()) StolenRuns.pop_front();
    nanoseconds_ += taken;
    return true;
  }
  void StopMeasuring() { measuring_ = false; }

  std::function<void(std::chrono::milliseconds)> OnSleep;
  std::deque<bool> StolenRuns;
  unsigned Chains = 0;
  unsigned Stolen = 0;
  std::string files_root_;

 private:
  platform::cReplayProcessorServices replay_;
  double tscMhz_, coreMhz_;
  platform::tSystemFiles files_;
  std::atomic<bool> measuring_{true};
  std::atomic<std::int64_t> nanoseconds_{5'000'000};
};

// Leaves 0, 1 and 6 (ECX bit 0 clear: no APERF and MPERF) of an Intel family-6 processor.
platform::tCpuidRecording VirtualProcessor(std::uint32_t signature = 0x906EA) {
  return {{0,
           0,
           {0x16, PackText("GenuineIntel", 0), PackText("GenuineIntel", 8),
            PackText("GenuineIntel", 4)}},
          {1, 0, {signature, 0, 0, 0}},
          {6, 0, {0, 0, 0, 0}}};
}

void Write(const std::string& root, const std::string& path, const std::string& text) {
  const std::filesystem::path place = root + path;
  std::filesystem::create_directories(place.parent_path());
  std::ofstream(place) << text;
}

TEST(EffectiveMeasurement, EachSourceInsideTheSameWindow) {
  const std::string cpu0 = "/sys/devices/system/cpu/cpu0";
  struct tCase {
    const char* Label;
    std::map<std::string, std::string> Tree;
    std::uint32_t Signature;
    std::deque<bool> Stolen;  // per chain run
    bool CppcAdvances;        // the feedback counters advance while the window sleeps
    tEffectiveClock Expected;
    unsigned Chains;  // chain runs
  } const cases[] = {
      // The virtual machine tried: the kernel gives the counter's rate; the chain 3670 MHz.
      {"timed loop",
       {{"/proc/cpuinfo", "processor : 0\ncpu MHz : 2596.000\n"}},
       0x906EA,
       {},
       false,
       {3670, tEffectiveSource::TimedLoop},
       20},
      // Two runs stolen from: the best of the three others.
      {"some runs stolen",
       {{"/proc/stat", "cpu0 50 0 25 5000 1 0 1 0 0 0\n"}},
       0x906EA,
       {true, false, true, false, false},
       false,
       {3670, tEffectiveSource::TimedLoop},
       20},
      // Every run stolen from: no clock rather than a slow one.
      {"every run stolen",
       {{"/proc/stat", "cpu0 50 0 25 5000 1 0 1 0 0 0\n"}},
       0x906EA,
       std::deque<bool>(20, true),
       false,
       {},
       20},
      {"cpufreq",
       {{cpu0 + "/cpufreq/scaling_cur_freq", "3400000\n"}},
       0x906EA,
       {},
       false,
       {3400, tEffectiveSource::Cpufreq},
       0},
      // 3100 is not the counter's 2596: the kernel's own figure.
      {"kernel",
       {{"/proc/cpuinfo", "processor : 0\ncpu MHz : 3100.000\n"}},
       0x906EA,
       {},
       false,
       {3100, tEffectiveSource::Kernel},
       20},
      // Reference counter at nominal 2600 MHz; delivered advanced 1.4 times as far: 3640.
      {"cppc",
       {{cpu0 + "/acpi_cppc/nominal_perf", "100\n"},
        {cpu0 + "/acpi_cppc/nominal_freq", "2600\n"},
        {cpu0 + "/acpi_cppc/feedback_ctrs", "ref:1000000 del:1000000\n"}},
       0x906EA,
       {},
       true,
       {3640, tEffectiveSource::Cppc},
       0},
      // A family whose addition latency is not known: no chain, no clock.
      {"latency not known", {}, 0x100F00, {}, false, {}, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    tTempFolder root;
    for (const auto& [path, text] : c.Tree)
      Write(root.Path(), path, text);
    auto owned =
        std::make_unique<tChainClocks>(VirtualProcessor(c.Signature), 2596, 3670, root.Path());
    tChainClocks& services = *owned;
    services.files_root_ = root.Path();
    services.StolenRuns = c.Stolen;
    if (c.CppcAdvances) {
      // The window's sleep, not the settling one before it.
      services.OnSleep = [&](std::chrono::milliseconds duration) {
        if (duration > std::chrono::milliseconds(10))
          Write(root.Path(), cpu0 + "/acpi_cppc/feedback_ctrs", "ref:1500000 del:1700000\n");
      };
    }
    cCPUid engine(std::move(owned), true);
    engine.WaitClocksReady();
    services.StopMeasuring();
    const tEffectiveClock effective = engine.EffectiveClockOf(0);
    EXPECT_NEAR(effective.CoreClock, c.Expected.CoreClock, c.Expected.CoreClock * 0.001);
    EXPECT_EQ(effective.Source, c.Expected.Source);
    EXPECT_EQ(services.Chains, c.Chains);
    // The specified core clock is the counter's rate, whatever the source.
    EXPECT_NEAR(engine.ClocksOf(0).CoreClock, 2596, 0.01);
    engine.Destroy();
  }
}

// The chain takes its time from the window's sleep: the window is as long as without it.
TEST(EffectiveMeasurement, TheChainDoesNotLengthenTheWindow) {
  tTempFolder root;
  auto owned = std::make_unique<tChainClocks>(VirtualProcessor(), 2596, 3670, root.Path());
  tChainClocks& services = *owned;
  const std::int64_t start = services.CounterNanoseconds();
  cCPUid engine(std::move(owned), true);
  engine.WaitClocksReady();
  services.StopMeasuring();
  const std::int64_t spent = services.CounterNanoseconds() - start;
  engine.Destroy();
  EXPECT_EQ(services.Chains, 20u);
  // 10 ms settling and the 250 ms window; twenty runs of 2^21 additions at 3670 MHz took
  // 11.4 ms of it, and the sleep 238 ms.
  EXPECT_EQ(spent,
            260'000'000 - 12'000'000 + 20 * static_cast<std::int64_t>(2'097'152'000.0 / 3670));
}

}  // namespace
