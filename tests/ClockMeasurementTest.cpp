// Clock measurement of the engine: the core clock against simulated counters, the multiplier
// readers against fake registers, the SMBIOS fallback and the derived bus values.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/CPUid.h"
#include "hw/VXLDrv.h"
#include "tests/support/EngineFixtures.h"

namespace {

// Replayed processors with simulated clocks: every sleep advances the nanosecond counter by
// its length and the time-stamp counter by as many ticks as the slot's core clock makes in
// that time. Every call that matters is logged.
class tSimulatedClocks final : public platform::IProcessorServices {
 public:
  tSimulatedClocks(const std::vector<tRawCpu>& cpus, double coreMHz)
      : replay_(Recordings(cpus)), count_(static_cast<unsigned>(cpus.size())), mhz_(coreMHz) {}

  unsigned ProcessorCount() override { return count_; }
  bool PinThread(unsigned slot) override {
    Log("pin " + std::to_string(slot));
    return replay_.PinThread(slot);
  }
  void RestoreThread() override { Log("restore"); }
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override {
    Log("cpuid");
    return replay_.Cpuid(leaf, subLeaf, out);
  }
  bool HasClocks() const override { return true; }
  std::uint64_t ReadTimeStampCounter() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return tsc_;
  }
  std::int64_t CounterNanoseconds() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return nanoseconds_;
  }
  void RaisePriority() override { Log("raise"); }
  void RestorePriority() override { Log("lower"); }
  void Sleep(std::chrono::milliseconds duration) override {
    Log("sleep " + std::to_string(duration.count()));
    std::lock_guard<std::mutex> lock(mutex_);
    if (!frozen_) nanoseconds_ += duration.count() * 1'000'000;
    tsc_ += static_cast<std::uint64_t>(mhz_ * 1000.0 * static_cast<double>(duration.count()));
  }
  int PackageOf(unsigned slot) override { return slot < packages_.size() ? packages_[slot] : -1; }

  // The measuring thread visits no slot once the count is 0.
  void SetCount(unsigned count) { count_ = count; }
  void Freeze() {
    std::lock_guard<std::mutex> lock(mutex_);
    frozen_ = true;
  }
  void SetPackages(std::vector<int> packages) { packages_ = std::move(packages); }
  std::vector<std::string> TakeEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(events_, {});
  }

 private:
  static std::vector<platform::tCpuidRecording> Recordings(const std::vector<tRawCpu>& cpus) {
    std::vector<platform::tCpuidRecording> recordings;
    for (const tRawCpu& cpu : cpus)
      recordings.push_back(RecordingOf(cpu.Data()));
    return recordings;
  }
  void Log(std::string what) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(what));
  }

  platform::cReplayProcessorServices replay_;
  std::atomic<unsigned> count_;
  double mhz_;
  std::mutex mutex_;
  std::uint64_t tsc_ = 1'000'000;
  std::int64_t nanoseconds_ = 5'000'000;
  bool frozen_ = false;
  std::vector<int> packages_;
  std::vector<std::string> events_;
};

// An engine over simulated clocks whose thread has finished its first pass and then visits
// no slot, so a test can call the measurement itself.
struct tClockedEngine {
  tClockedEngine(const std::vector<tRawCpu>& cpus, double coreMHz,
                 std::unique_ptr<ISMBIOSSource> smbios = nullptr, bool skipDmi = false) {
    auto owned = std::make_unique<tSimulatedClocks>(cpus, coreMHz);
    fake = owned.get();
    engine = std::make_unique<cCPUid>(std::move(owned), skipDmi, std::move(smbios));
    engine->WaitClocksReady();
    fake->SetCount(0);
    fake->TakeEvents();
  }
  tSimulatedClocks* fake;  // owned by the engine
  std::unique_ptr<cCPUid> engine;
};

// Registers of a fake driver: the low halves it answers, and the indices it was asked for.
class tFakeMsr final : public IMSRIO {
 public:
  explicit tFakeMsr(std::map<std::uint32_t, std::uint32_t> lows) : lows_(std::move(lows)) {}
  bool ReadMSR(std::uint32_t index, tMSRValue& value) override {
    reads.push_back(index);
    const auto found = lows_.find(index);
    if (found == lows_.end()) return false;
    value = {0xDEADBEEF, found->second};
    return true;
  }
  bool WriteMSR(std::uint32_t, const tMSRValue&) override { return false; }
  std::vector<std::uint32_t> reads;

 private:
  std::map<std::uint32_t, std::uint32_t> lows_;
};

// Installs a driver bundle whose registers are the fake's for the life of the guard.
class tDriverGuard {
 public:
  explicit tDriverGuard(std::map<std::uint32_t, std::uint32_t> lows)
      : msr(std::make_shared<tFakeMsr>(std::move(lows))) {
    DriverAccess = std::make_shared<tVXLDrv>();
    DriverAccess->MSRIO = msr;
  }
  ~tDriverGuard() { DriverAccess.reset(); }
  std::shared_ptr<tFakeMsr> msr;
};

tSMBIOSProcessor Entry(std::uint16_t extClock, std::uint16_t currentSpeed) {
  tSMBIOSProcessor entry;
  entry.ExtClock = extClock;
  entry.CurrentSpeed = currentSpeed;
  return entry;
}

std::uint32_t Field(std::uint32_t value, unsigned low) {
  return value << low;
}

TEST(ClockMeasurement, CoreClockCountsTheLow32BitsOfTheTickDifference) {
  struct Case {
    double mhz;
    double expected;
  } cases[] = {
      {2300, 2300},
      {17000, 17000},  // 4.25e9 ticks in the window: still within 32 bits
      // 5e9 ticks: only 5e9 - 2^32 enter the product.
      {20000, (5e9 - 4294967296.0) * 1e9 / (250e6 * 1e6)},
  };
  for (const Case& c : cases) {
    tClockedEngine clocked({tRawCpu::Intel(6, 15, 2)}, c.mhz);
    tClocks clocks;
    clocked.engine->MeasureCoreClock(clocks);
    EXPECT_NEAR(clocks.CoreClock, c.expected, 1e-6) << c.mhz;
  }
}

TEST(ClockMeasurement, CoreClockSettlesThenTimesAQuarterSecondAtRaisedPriority) {
  tClockedEngine clocked({tRawCpu::Intel(6, 15, 2)}, 1000);
  tClocks clocks;
  clocked.engine->MeasureCoreClock(clocks);
  EXPECT_EQ(clocked.fake->TakeEvents(),
            (std::vector<std::string>{"raise", "sleep 10", "sleep 250", "lower"}));
}

TEST(ClockMeasurement, CounterThatDoesNotAdvanceKeepsTheClockAndRestoresPriority) {
  tClockedEngine clocked({tRawCpu::Intel(6, 15, 2)}, 1000);
  clocked.fake->Freeze();
  tClocks clocks;
  clocks.CoreClock = 1234.5;
  clocked.engine->MeasureCoreClock(clocks);
  EXPECT_EQ(clocks.CoreClock, 1234.5);
  EXPECT_EQ(clocked.fake->TakeEvents().back(), "lower");
}

struct ReaderCase {
  const char* name;
  bool (cCPUid::*reader)(float&, unsigned);
  tRawCpu cpu;
  std::uint8_t powerNow;
  std::uint8_t coolnQuiet;
  std::uint32_t index;  // the register the reader must read
  std::uint32_t low;
  float expected;
};

TEST(ClockMeasurement, ReadersTakeTheirRatioCodeFromTheirRegister) {
  const ReaderCase cases[] = {
      {"K7 PowerNow, last entry", &cCPUid::GetMultiplierK7, tRawCpu::Amd(6, 8, 0), 1, 0, 0xC0010042,
       0x1F, 24},
      {"K7 PowerNow, code 16", &cCPUid::GetMultiplierK7, tRawCpu::Amd(6, 8, 0), 1, 0, 0xC0010042,
       0xFFFFFFF0, 3},
      {"K7 bit 19 is bit 4 of the code", &cCPUid::GetMultiplierK7, tRawCpu::Amd(6, 8, 0), 0, 0,
       0xC0010015, Field(0xF, 24) | Field(1, 19), 24},
      {"K7 without bit 19", &cCPUid::GetMultiplierK7, tRawCpu::Amd(6, 8, 0), 0, 0, 0xC0010015,
       Field(0xF, 24), 10.5},
      {"K7 before family 6 ignores bit 19", &cCPUid::GetMultiplierK7, tRawCpu::Amd(5, 8, 0), 0, 0,
       0xC0010015, Field(0xF, 24) | Field(1, 19), 10.5},
      {"K8 Cool'n'Quiet", &cCPUid::GetMultiplierK8, tRawCpu::Amd(15, 4, 0), 0, 1, 0xC0010042,
       0xFFFFFFFF, 19.5},
      {"K8 code 63", &cCPUid::GetMultiplierK8, tRawCpu::Amd(15, 4, 0), 0, 0, 0xC0010015,
       Field(63, 24) | Field(3, 30), 35.5},
      {"P6 model 8 stepping 2 ignores bit 27", &cCPUid::GetMultiplierP6, tRawCpu::Intel(6, 8, 2), 0,
       0, 0x2A, Field(0xF, 22) | Field(1, 27), 6.5},
      {"P6 model 8 stepping 3 adds 16", &cCPUid::GetMultiplierP6, tRawCpu::Intel(6, 8, 3), 0, 0,
       0x2A, Field(0xF, 22) | Field(1, 27), 10.5},
      {"P6 model 8 stepping 3, bits 30..27 not 0001", &cCPUid::GetMultiplierP6,
       tRawCpu::Intel(6, 8, 3), 0, 0, 0x2A, Field(0xF, 22) | Field(0b0011, 27), 6.5},
      {"P6 model 10 stepping 1 adds 16", &cCPUid::GetMultiplierP6, tRawCpu::Intel(6, 10, 1), 0, 0,
       0x2A, Field(0x1, 22) | Field(1, 27), 11},
      {"P6 model 10 stepping 0", &cCPUid::GetMultiplierP6, tRawCpu::Intel(6, 10, 0), 0, 0, 0x2A,
       Field(0x1, 22) | Field(1, 27), 3},
      {"P6 model 11 with bit 27", &cCPUid::GetMultiplierP6Model11, tRawCpu::Intel(6, 11, 1), 0, 0,
       0x2A, Field(0xF, 22) | Field(1, 27), 11.5},
      {"P6 model 11 without bit 27", &cCPUid::GetMultiplierP6Model11, tRawCpu::Intel(6, 11, 1), 0,
       0, 0x2A, Field(0x8, 22), 16},
      {"P4 early, model 0 stepping 9", &cCPUid::GetMultiplierP4Early, tRawCpu::Intel(15, 0, 9), 0,
       0, 0x2A, Field(7, 8), 23},
      {"P4 early, model 0 stepping 10", &cCPUid::GetMultiplierP4Early, tRawCpu::Intel(15, 0, 10), 0,
       0, 0x2A, Field(7, 8), 24},
      {"P4 early, model 1", &cCPUid::GetMultiplierP4Early, tRawCpu::Intel(15, 1, 2), 0, 0, 0x2A,
       Field(9, 8), 23},
      {"P4", &cCPUid::GetMultiplierP4, tRawCpu::Intel(15, 2, 7), 0, 0, 0x2C, 0xFFFFFFFF, 31},
      {"Pentium M", &cCPUid::GetMultiplierPM, tRawCpu::Intel(6, 13, 6), 0, 0, 0x2A, 0xFFFFFFFF, 31},
  };
  for (const ReaderCase& c : cases) {
    auto e = Identified({c.cpu});
    e->CPUfeatures[0].PowerNow = c.powerNow;
    e->CPUfeatures[0].CoolnQuiet = c.coolnQuiet;
    tDriverGuard driver(std::map<std::uint32_t, std::uint32_t>{{c.index, c.low}});
    float multiplier = -1;
    EXPECT_TRUE((e.get()->*c.reader)(multiplier, 0)) << c.name;
    EXPECT_EQ(multiplier, c.expected) << c.name;
    EXPECT_EQ(driver.msr->reads, std::vector<std::uint32_t>{c.index}) << c.name;
  }
}

TEST(ClockMeasurement, ReadersWithoutARegisterGiveFalseAndZero) {
  bool (cCPUid::*readers[])(float&, unsigned) = {
      &cCPUid::GetMultiplierK7,        &cCPUid::GetMultiplierK8,      &cCPUid::GetMultiplierP6,
      &cCPUid::GetMultiplierP6Model11, &cCPUid::GetMultiplierP4Early, &cCPUid::GetMultiplierP4,
      &cCPUid::GetMultiplierPM};
  auto e = Identified({tRawCpu::Intel(6, 8, 3)});
  for (auto reader : readers) {
    float multiplier = 7;
    EXPECT_FALSE((e.get()->*reader)(multiplier, 0));  // no driver bundle at all
    EXPECT_EQ(multiplier, 0);
    tDriverGuard driver(std::map<std::uint32_t, std::uint32_t>{});  // every read fails
    multiplier = 7;
    EXPECT_FALSE((e.get()->*reader)(multiplier, 0));
    EXPECT_EQ(multiplier, 0);
  }
}

TEST(ClockMeasurement, MethodsWithoutAReaderOrAFailedReadFallBackToSmbios) {
  struct Case {
    std::uint8_t method;
    bool registerReads;
    float expected;
  } cases[] = {
      {0, true, 10.5},   {15, true, 10.5},  // 15: past today's ratio methods
      {255, true, 10.5}, {3, false, 10.5},  // the register read fails
      {3, true, 6.5},                       // P6 ratio code 15
  };
  for (const Case& c : cases) {
    auto e = Identified({tRawCpu::Intel(6, 8, 2)});
    e->NoDMI = 0;
    e->SMBIOSProcessors[0].ExtClock = 133;
    e->SMBIOSProcessors[0].CurrentSpeed = 1400;
    e->MultiplierMethod[0] = c.method;
    std::map<std::uint32_t, std::uint32_t> registers;
    if (c.registerReads) registers[0x2A] = Field(0xF, 22);
    tDriverGuard driver(registers);
    float multiplier = 0;
    e->GetMultiplier(multiplier, 0);
    EXPECT_EQ(multiplier, c.expected) << int(c.method);
  }
}

TEST(ClockMeasurement, SmbiosRatioIsRoundedHalfToEvenToOneDecimal) {
  struct Case {
    std::uint16_t current;
    std::uint16_t external;
    float expected;
  } cases[] = {
      {1400, 133, 10.5f}, {2000, 200, 10.0f},
      {41, 4, 10.2f},  // 10.25: the tie goes to the even tenth
      {43, 4, 10.8f},  // 10.75
      {2400, 266, 9.0f},
  };
  for (const Case& c : cases) {
    auto e = Identified({tRawCpu::Intel(6, 8, 2)});
    e->NoDMI = 0;
    e->SMBIOSProcessors[0].CurrentSpeed = c.current;
    e->SMBIOSProcessors[0].ExtClock = c.external;
    float multiplier = 0;
    e->GetMultiplierDMI(multiplier, 0);
    EXPECT_FLOAT_EQ(multiplier, c.expected) << c.current << "/" << c.external;
  }
}

TEST(ClockMeasurement, ExternalClockOfZeroSwitchesTheFallbackOff) {
  auto e = Identified({tRawCpu::Intel(6, 8, 2), tRawCpu::Intel(6, 8, 2)});
  e->NoDMI = 0;
  e->SMBIOSProcessors[1] = Entry(100, 1500);
  float first = 7;
  e->GetMultiplierDMI(first, 0);
  EXPECT_EQ(first, 7);  // left as it was
  EXPECT_EQ(e->NoDMI, 1);
  float second = 0;
  e->GetMultiplierDMI(second, 1);
  EXPECT_EQ(second, 0);  // the fallback stays off for every later processor
}

TEST(ClockMeasurement, SmbiosFallbackTakesTheEntryOfThePackage) {
  const std::vector<tRawCpu> cpus(3, tRawCpu::Intel(6, 8, 2));
  tClockedEngine clocked(cpus, 1500);
  clocked.fake->SetPackages({1, -1});
  cCPUid& e = *clocked.engine;
  e.NoDMI = 0;
  e.SMBIOSProcessors.assign(8, {});
  e.SMBIOSProcessors[1] = Entry(100, 1500);
  e.SMBIOSProcessors[2] = Entry(100, 2000);
  float multiplier = 0;
  e.GetMultiplierDMI(multiplier, 0);  // package 1
  EXPECT_EQ(multiplier, 15);
  e.GetMultiplierDMI(multiplier, 2);  // package unknown: its own entry
  EXPECT_EQ(multiplier, 20);
  // A slot past the entries leaves the multiplier and keeps the fallback on.
  e.SMBIOSProcessors.resize(2);
  multiplier = 3;
  e.GetMultiplierDMI(multiplier, 2);
  EXPECT_EQ(multiplier, 3);
  EXPECT_EQ(e.NoDMI, 0);
}

TEST(ClockMeasurement, BusClockAndBusSpeedFollowTheMultiplier) {
  struct Case {
    std::uint16_t current;  // SMBIOS current speed; external clock 100
    std::uint8_t busFactor;
    float multiplier;
    double busClock;
    double busSpeed;
  } cases[] = {
      {1500, 4, 15, 100, 400},
      {1500, 0, 15, 100, 0},  // no bus factor: no bus speed, whatever the bus clock
      {0, 4, 0, 0, 0},        // multiplier 0: no bus clock, not infinity
  };
  for (const Case& c : cases) {
    tClockedEngine clocked({tRawCpu::Intel(6, 8, 2)}, 1500);
    cCPUid& e = *clocked.engine;
    e.NoDMI = 0;
    e.SMBIOSProcessors[0] = Entry(100, c.current);
    e.Clocks[0].BusFactor = c.busFactor;
    e.MeasureClocks(0);
    const tClocks clocks = e.ClocksOf(0);
    EXPECT_NEAR(clocks.CoreClock, 1500, 1e-9);
    EXPECT_EQ(clocks.Multiplier, c.multiplier) << c.current;
    EXPECT_NEAR(clocks.BusClock, c.busClock, 1e-9) << c.current;
    EXPECT_NEAR(clocks.BusSpeed, c.busSpeed, 1e-9) << c.current;
    EXPECT_EQ(clocks.BusFactor, c.busFactor);
  }
}

TEST(ClockMeasurement, MeasurementPinsTheSlotAndRestores) {
  tClockedEngine clocked({tRawCpu::Intel(6, 15, 2), tRawCpu::Intel(6, 15, 2)}, 1000);
  clocked.engine->MeasureClocks(1);
  const auto events = clocked.fake->TakeEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "pin 1");
  EXPECT_EQ(events.back(), "restore");
}

TEST(ClockMeasurement, ReplayedProcessorsAreNeverMeasured) {
  auto e = Identified({tRawCpu::Amd(6, 8, 0)});  // naming asks for a measurement
  e->Clocks[0].CoreClock = 1.5;
  e->MeasureClocks(0);
  EXPECT_EQ(e->Clocks[0].CoreClock, 1.5);
  EXPECT_EQ(e->ClocksOf(0).CoreClock, 0);
  EXPECT_EQ(e->ClocksOf(0).BusFactor, 2);
}

// Firmware tables in memory: a 2.x entry point and a table of one processor structure.
class tOneProcessorTables final : public ISMBIOSSource {
 public:
  explicit tOneProcessorTables(bool fail = false) : fail_(fail) {}
  bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                    std::vector<std::uint8_t>& table) override {
    if (fail_) throw std::runtime_error("firmware tables unreadable");
    table.assign(0x20, 0);
    table[0] = 4;
    table[1] = 0x20;
    table[0x12] = 133;
    table[0x16] = 1400 & 0xFF;
    table[0x17] = 1400 >> 8;
    table[0x18] = 0x41;
    table.insert(table.end(), {0, 0, 127, 4, 0, 0, 0, 0});
    entryPoint.assign(0x1F, 0);
    const char anchor[] = "_SM_";
    std::copy(anchor, anchor + 4, entryPoint.begin());
    entryPoint[0x16] = static_cast<std::uint8_t>(table.size());
    entryPoint[0x1C] = 2;
    return true;
  }
  bool BIOSArea(std::vector<std::uint8_t>&) override { return false; }
  bool ReadPhysical(std::uint64_t, std::size_t, std::vector<std::uint8_t>&) override {
    return false;
  }

 private:
  bool fail_;
};

TEST(ClockMeasurement, ConstructionReadsTheProcessorEntriesUnlessSkipped) {
  struct Case {
    bool skip;
    bool sourceFails;
    std::uint16_t extClock;
    std::uint8_t noDmi;
  } cases[] = {
      {false, false, 133, 0},
      {true, false, 0, 1},
      // The reader keeps its own errors: no entries, and the first fallback then finds an
      // external clock of 0.
      {false, true, 0, 0},
  };
  for (const Case& c : cases) {
    auto data = std::vector<platform::tCpuidRecording>{RecordingOf(tRawCpu::Intel(6, 8, 2).Data())};
    cCPUid e(std::make_unique<platform::cReplayProcessorServices>(data), c.skip,
             std::make_unique<tOneProcessorTables>(c.sourceFails));
    EXPECT_EQ(e.NoDMI, c.noDmi);
    ASSERT_GE(e.SMBIOSProcessors.size(), 8u);
    EXPECT_EQ(e.SMBIOSProcessors[0].ExtClock, c.extClock);
    float multiplier = 0;
    e.GetMultiplierDMI(multiplier, 0);
    EXPECT_EQ(multiplier, c.extClock != 0 ? 10.5 : 0);
    EXPECT_EQ(e.NoDMI, c.extClock != 0 ? 0 : 1);
  }
}

}  // namespace
