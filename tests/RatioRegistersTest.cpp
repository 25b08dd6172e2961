// Clocks of today's processors: their ratio registers decoded with values from the vendors'
// documents and public register dumps, and the measurement through the hardware-access
// device over a fake backend: multiplier and bus clock, the effective clock from APERF and
// MPERF read inside the measuring window, the leaf-0x16 bus clock without a driver, and the
// one list that every register read is on.
#include "engine/clocks/CurrentRatio.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/ControlDevice.h"
#include "engine/CPUid.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "platform/ReplayProcessorServices.h"
#include "protocol/MsrReads.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

constexpr std::uint64_t kEnabled = std::uint64_t{1} << 63;

// P-state definitions as the PPR lays them out: CpuFid 7..0, CpuDfsId 13..8 (family 17h);
// CpuFid 11..0 (family 1Ah).
constexpr std::uint64_t ZenPState(unsigned fid, unsigned dfs) {
  return kEnabled | (std::uint64_t{dfs} << 8) | fid;
}

TEST(RatioRegisters, EachKindReadsItsRegistersAsDocumented) {
  struct tCase {
    const char* Label;
    tRatioRegisters Kind;
    std::map<std::uint32_t, std::uint64_t> Registers;
    double TscMhz;
    float Multiplier;  // 0: no reading
    double Bus;
  } const cases[] = {
      // A Kaby Lake R notebook's registers (public AppleIntelInfo dump): PERF_STATUS
      // 0x26D900002700 runs at ratio 0x27 = 39; PLATFORM_INFO 0x0804043DF1011500 has the
      // non-turbo ratio 0x15 = 21, so a 2100 MHz counter means a 100 MHz bus.
      {"Sandy Bridge and later",
       tRatioRegisters::IntelCore,
       {{kMsrPerfStatus, 0x26D900002700}, {kMsrPlatformInfo, 0x0804043DF1011500}},
       2100,
       39,
       100},
      {"... a counter of 2121 MHz: the bus runs 1 % fast",
       tRatioRegisters::IntelCore,
       {{kMsrPerfStatus, 0x26D900002700}, {kMsrPlatformInfo, 0x0804043DF1011500}},
       2121,
       39,
       101},
      {"... without PLATFORM_INFO: the 100 MHz reference",
       tRatioRegisters::IntelCore,
       {{kMsrPerfStatus, 0x2700}},
       2100,
       39,
       100},
      {"... ratio 0 is no reading",
       tRatioRegisters::IntelCore,
       {{kMsrPerfStatus, 0x00FF}},
       2100,
       0,
       0},
      // Nehalem: the performance state value 15..0 is the ratio; the Core i7-920's
      // non-turbo ratio 20 at 133.33 MHz is its 2666.67 MHz counter.
      {"Nehalem",
       tRatioRegisters::IntelNehalem,
       {{kMsrPerfStatus, 0x0016}, {kMsrPlatformInfo, 0x1400}},
       8000.0 / 3,
       22,
       400.0 / 3},
      {"Nehalem without PLATFORM_INFO",
       tRatioRegisters::IntelNehalem,
       {{kMsrPerfStatus, 0x0016}},
       8000.0 / 3,
       22,
       400.0 / 3},
      // Family 10h: a Phenom II X4 945 at CpuFid 0Eh, CpuDid 0 (published with libcpuid's
      // P0 dump 0x800001BB3C00300E): 100 MHz x (14 + 16) = 3000 MHz, x 15 on 200 MHz.
      {"COFVID, family 10h",
       tRatioRegisters::AmdCofVid200,
       {{kMsrCofVidStatus, 0x300E}},
       3000,
       15,
       200},
      // Family 15h on AM3+: an FX-8350 at CpuFid 26 (amdctl's report): 4200 MHz, x 21.
      {"COFVID, Orochi", tRatioRegisters::AmdCofVid200, {{kMsrCofVidStatus, 26}}, 4000, 21, 200},
      // Family 16h: an A8-6410 at CpuFid 12, CpuDid 1: 100 x 28 / 2 = 1400 MHz, x 14.
      {"COFVID, family 16h",
       tRatioRegisters::AmdCofVid100,
       {{kMsrCofVidStatus, (1 << 6) | 12}},
       2000,
       14,
       100},
      // Family 11h counts from 8: CpuFid 14 gives 100 x 22 = 2200 MHz, x 11 on 200 MHz.
      {"COFVID, family 11h",
       tRatioRegisters::AmdCofVidFamily11,
       {{kMsrCofVidStatus, 14}},
       2200,
       11,
       200},
      // Family 17h: P-state 2 current; its definition CpuFid 90h, CpuDfsId 8: 3600 MHz.
      {"P-state, family 17h",
       tRatioRegisters::AmdPState,
       {{kMsrPStateStatus, 2}, {kMsrPStateDefinition0 + 2, ZenPState(0x90, 8)}},
       3600,
       36,
       100},
      {"... a disabled P-state is no reading",
       tRatioRegisters::AmdPState,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, ZenPState(0x90, 8) & ~kEnabled}},
       3600,
       0,
       0},
      {"... a divisor of 0 is no reading",
       tRatioRegisters::AmdPState,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, ZenPState(0x90, 0)}},
       3600,
       0,
       0},
      // Family 1Ah, values a Ryzen 9 9950X published: P0 0x800000004AB2435C has CpuFid 35Ch =
      // 860, x 5 MHz = 4300 MHz; P1 0x80000000479E4258, 600: 3000 MHz.
      {"P-state, family 1Ah",
       tRatioRegisters::AmdPStateFamily1A,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, 0x800000004AB2435C}},
       4300,
       43,
       100},
      {"P-state 1, family 1Ah",
       tRatioRegisters::AmdPStateFamily1A,
       {{kMsrPStateStatus, 1}, {kMsrPStateDefinition0 + 1, 0x80000000479E4258}},
       4300,
       30,
       100},
      {"a register that cannot be read", tRatioRegisters::AmdPState, {}, 3600, 0, 0},
      // Each field at its highest bit, worked out by hand: a field read one bit short loses it.
      {"ratio 15..8 = FFh", tRatioRegisters::IntelCore, {{kMsrPerfStatus, 0xFF00}}, 0, 255, 100},
      {"Nehalem 15..0 = 8000h",
       tRatioRegisters::IntelNehalem,
       {{kMsrPerfStatus, 0x8000}},
       0,
       32768,
       400.0 / 3},
      // CurCpuFid 3Fh, CurCpuDid 4 (bit 8 alone): 100 x (63 + 16) / 2^4 = 493.75 MHz.
      {"COFVID FID 3Fh, DID 4",
       tRatioRegisters::AmdCofVid200,
       {{kMsrCofVidStatus, (4 << 6) | 0x3F}},
       0,
       493.75f / 200,
       200},
      // CpuFid FFh, CpuDfsId 20h (bit 13 alone): 200 x 255 / 32 = 1593.75 MHz.
      {"P-state FID FFh, DFS 20h",
       tRatioRegisters::AmdPState,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, ZenPState(0xFF, 0x20)}},
       0,
       15.9375f,
       100},
      // Current P-state 4 (bit 2 of 2..0): the fifth definition.
      {"P-state 4",
       tRatioRegisters::AmdPState,
       {{kMsrPStateStatus, 4}, {kMsrPStateDefinition0 + 4, ZenPState(0x90, 8)}},
       0,
       36,
       100},
      // CpuFid 800h (bit 11 alone) x 5 MHz = 10240 MHz.
      {"P-state FID 800h, family 1Ah",
       tRatioRegisters::AmdPStateFamily1A,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, kEnabled | 0x800}},
       0,
       102.4f,
       100},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto read = [&c](std::uint32_t index, std::uint64_t& value) {
      const auto found = c.Registers.find(index);
      if (found == c.Registers.end()) return false;
      value = found->second;
      return true;
    };
    const auto reading = ReadCurrentRatio(c.Kind, read, c.TscMhz);
    ASSERT_EQ(reading.has_value(), c.Multiplier != 0);
    if (!reading) continue;
    EXPECT_FLOAT_EQ(reading->Multiplier, c.Multiplier);
    EXPECT_NEAR(reading->BusClock, c.Bus, 1e-9);
  }
}

// ---- Measurement through the device ------------------------------------------------------

// One event log for the services and the device, so that their order shows.
struct tLog {
  std::mutex Mutex;
  std::vector<std::string> Events;
  void Add(std::string event) {
    std::lock_guard<std::mutex> lock(Mutex);
    Events.push_back(std::move(event));
  }
  std::vector<std::string> Take() {
    std::lock_guard<std::mutex> lock(Mutex);
    return std::exchange(Events, {});
  }
};

// Fake registers where the performance counters answer the next of their values at each
// read, and every read is logged.
class tCountingBackend final : public cFakeDeviceBackend {
 public:
  explicit tCountingBackend(tLog& log) : log_(log) {}
  std::map<std::uint32_t, std::deque<std::uint64_t>> Counters;

  bool ReadMsr(std::uint32_t index, std::uint64_t& value) override {
    log_.Add("msr " + std::to_string(index));
    auto counter = Counters.find(index);
    if (counter == Counters.end()) return cFakeDeviceBackend::ReadMsr(index, value);
    Requests.push_back({tFakeRequest::MsrRead, index, 8, 0});
    if (counter->second.empty()) return false;
    value = counter->second.front();
    counter->second.pop_front();
    return true;
  }

 private:
  tLog& log_;
};

// Recorded processors whose clocks run: each sleep advances the nanosecond counter by its
// length and the time-stamp counter at `tscMhz`.
class tRunningClocks final : public platform::IProcessorServices {
 public:
  tRunningClocks(std::vector<platform::tCpuidRecording> cpus, double tscMhz, tLog& log)
      : replay_(cpus), count_(static_cast<unsigned>(cpus.size())), mhz_(tscMhz), log_(log) {}

  unsigned ProcessorCount() override { return count_; }
  bool PinThread(unsigned slot) override { return replay_.PinThread(slot); }
  void RestoreThread() override {}
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override {
    return replay_.Cpuid(leaf, subLeaf, out);
  }
  const platform::tCpuidRecording* Recorded(unsigned slot) const override {
    return replay_.Recorded(slot);
  }
  bool HasClocks() const override { return true; }
  std::uint64_t ReadTimeStampCounter() override { return tsc_; }
  std::int64_t CounterNanoseconds() override { return nanoseconds_; }
  void RaisePriority() override {}
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds duration) override {
    log_.Add("sleep " + std::to_string(duration.count()));
    nanoseconds_ += duration.count() * 1'000'000;
    tsc_ += static_cast<std::uint64_t>(mhz_ * 1000.0 * static_cast<double>(duration.count()));
  }
  int PackageOf(unsigned) override { return -1; }
  void Stop() { count_ = 0; }

 private:
  platform::cReplayProcessorServices replay_;
  std::atomic<unsigned> count_;
  double mhz_;
  tLog& log_;
  std::atomic<std::uint64_t> tsc_{1'000'000};
  std::atomic<std::int64_t> nanoseconds_{5'000'000};
};

// A processor: vendor, leaf-1 EAX, and leaves 6 (ECX bit 0: APERF and MPERF) and 0x16 (ECX:
// bus clock in MHz).
platform::tCpuidRecording Processor(std::string_view vendor, std::uint32_t eax, bool counters,
                                    std::uint32_t busMhz = 0) {
  return {{0, 0, {0x16, PackText(vendor, 0), PackText(vendor, 8), PackText(vendor, 4)}},
          {1, 0, {eax, 0, 0, 0}},
          {6, 0, {0, 0, counters ? 1u : 0u, 0}},
          {0x16, 0, {0, 0, busMhz, 0}}};
}

// An engine over one running processor whose thread has done its first pass and then
// measures nothing; with a driver, the hardware-access device over fake registers.
struct tMeasuredEngine {
  tMeasuredEngine(platform::tCpuidRecording cpu, double tscMhz, bool driver = true) {
    auto owned =
        std::make_unique<tRunningClocks>(std::vector<platform::tCpuidRecording>{cpu}, tscMhz, log);
    services = owned.get();
    engine = std::make_unique<cCPUid>(std::move(owned), true);
    engine->WaitClocksReady();
    services->Stop();
    if (driver) {
      backend = std::make_shared<tCountingBackend>(log);
      DriverInterface = std::make_shared<cDrvIface>(std::make_shared<cControlDevice>(backend));
      DriverAccess = std::make_shared<tVXLDrv>();
    }
    log.Take();
  }
  ~tMeasuredEngine() {
    engine->Destroy();
    DriverAccess.reset();
    DriverInterface.reset();
  }
  tLog log;
  std::shared_ptr<tCountingBackend> backend;
  tRunningClocks* services = nullptr;
  std::unique_ptr<cCPUid> engine;
};

std::string Msr(std::uint32_t index) {
  return "msr " + std::to_string(index);
}

TEST(RatioMeasurement, TodaysProcessorsTakeMultiplierAndBusFromTheirRegisters) {
  struct tCase {
    const char* Label;
    platform::tCpuidRecording Cpu;
    double TscMhz;
    std::map<std::uint32_t, std::uint64_t> Registers;
    std::uint8_t Method;
    float Multiplier;
    double Bus;
  } const cases[] = {
      // 6/8Eh stepping 10, Kaby Lake R, with the registers of the dump above.
      {"Kaby Lake R",
       Processor("GenuineIntel", 0x806EA, false),
       2100,
       {{kMsrPerfStatus, 0x26D900002700}, {kMsrPlatformInfo, 0x0804043DF1011500}},
       9,
       39,
       100},
      // 17h/71h, Matisse, in P-state 0 of CpuFid 90h and CpuDfsId 8.
      {"Matisse",
       Processor("AuthenticAMD", 0x870F10, false),
       3600,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, ZenPState(0x90, 8)}},
       13,
       36,
       100},
      // 1Ah/44h, Granite Ridge, with the published P-state 0.
      {"Granite Ridge",
       Processor("AuthenticAMD", 0xB40F40, false),
       4300,
       {{kMsrPStateStatus, 0}, {kMsrPStateDefinition0, 0x800000004AB2435C}},
       14,
       43,
       100},
      // 10h/04h, Deneb, at the Phenom II X4 945's frequency IDs.
      {"Deneb",
       Processor("AuthenticAMD", 0x100F42, false),
       3000,
       {{kMsrCofVidStatus, 0x300E}},
       10,
       15,
       200},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    tMeasuredEngine measured(c.Cpu, c.TscMhz);
    for (const auto& [index, value] : c.Registers)
      measured.backend->Msrs[index] = value;
    cCPUid& e = *measured.engine;
    EXPECT_EQ(e.MultiplierMethod[0], c.Method);
    e.MeasureClocks(0);
    const tClocks clocks = e.ClocksOf(0);
    EXPECT_NEAR(clocks.CoreClock, c.TscMhz, 1e-6);
    EXPECT_FLOAT_EQ(clocks.Multiplier, c.Multiplier);
    EXPECT_NEAR(clocks.BusClock, c.Bus, 1e-6);
    EXPECT_EQ(clocks.BusSpeed, 0);  // no bus factor for these parts
    // Every register the measurement read is on the program's list.
    for (const tFakeRequest& request : measured.backend->Requests)
      EXPECT_TRUE(IsReadRegister(request.Address)) << std::hex << request.Address;
  }
}

// Without a driver a part of today gets the bus clock it reports in leaf 0x16 and no
// multiplier: neither the SMBIOS ratio nor one guessed from the counter's rate.
TEST(RatioMeasurement, WithoutADriverTheBusIsTheReportedOneAndNoMultiplier) {
  tMeasuredEngine measured(Processor("GenuineIntel", 0x906EA, true, 100), 3700, false);
  cCPUid& e = *measured.engine;
  e.NoDMI = 0;
  e.SMBIOSProcessors[0].ExtClock = 100;
  e.SMBIOSProcessors[0].CurrentSpeed = 3700;
  e.Clocks[0].Multiplier = 37;  // from an earlier measurement, when a driver was there
  e.MeasureClocks(0);
  const tClocks clocks = e.ClocksOf(0);
  EXPECT_NEAR(clocks.CoreClock, 3700, 1e-6);
  EXPECT_EQ(clocks.Multiplier, 0);
  EXPECT_EQ(clocks.BusClock, 100);
  EXPECT_EQ(e.EffectiveClockOf(0).CoreClock, 0);
}

// The effective clock: APERF and MPERF read after the window opens and before it closes, on
// the measured processor; the counter's rate times their ratio. A processor without them
// (leaf 6 ECX bit 0 clear) is never asked for them; counters that restarted give none.
TEST(RatioMeasurement, EffectiveClockComesFromTheCountersInsideTheWindow) {
  // Start values from the dump above (APERF 0x93B224C490, MPERF 0x8B24D66381).
  constexpr std::uint64_t kAperf = 0x93B224C490, kMperf = 0x8B24D66381;
  struct tCase {
    const char* Label;
    bool Counters;
    std::uint64_t AperfEnd, MperfEnd;
    double Effective;
  } const cases[] = {
      {"turbo", true, kAperf + 1'500'000, kMperf + 1'000'000, 3150},
      {"half idle", true, kAperf + 250'000, kMperf + 1'000'000, 525},
      {"counters restarted", true, 1000, 2000, 0},
      {"no counters", false, 0, 0, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    tMeasuredEngine measured(Processor("GenuineIntel", 0x806EA, c.Counters), 2100);
    tCountingBackend& backend = *measured.backend;
    backend.Msrs[kMsrPerfStatus] = 0x1500;
    backend.Counters[kMsrAperf] = {kAperf, c.AperfEnd};
    backend.Counters[kMsrMperf] = {kMperf, c.MperfEnd};
    measured.engine->MeasureClocks(0);
    EXPECT_NEAR(measured.engine->EffectiveClockOf(0).CoreClock, c.Effective, 1e-6);
    EXPECT_NEAR(measured.engine->ClocksOf(0).CoreClock, 2100, 1e-6);  // the counter's rate
    std::vector<std::string> expected = {"sleep 10", "sleep 250"};
    if (c.Counters) {
      expected = {"sleep 10",  Msr(kMsrAperf), Msr(kMsrMperf),
                  "sleep 250", Msr(kMsrAperf), Msr(kMsrMperf)};
    }
    expected.push_back(Msr(kMsrPerfStatus));
    expected.push_back(Msr(kMsrPlatformInfo));
    EXPECT_EQ(measured.log.Take(), expected);
  }
}

// Only the registers on the program's list are ever asked for.
TEST(RatioMeasurement, RegistersOffTheListAreNeverRead) {
  tMeasuredEngine measured(Processor("GenuineIntel", 0x806EA, false), 2100);
  measured.backend->Msrs[kMsrPerfStatus] = 0x2700;
  measured.backend->Msrs[0x1AD] = 0x27272A2A;  // MSR_TURBO_RATIO_LIMIT: not on the list
  std::uint64_t value = 0;
  EXPECT_TRUE(measured.engine->ReadMsr(kMsrPerfStatus, value));
  EXPECT_EQ(value, 0x2700u);
  EXPECT_FALSE(measured.engine->ReadMsr(0x1AD, value));
  EXPECT_EQ(measured.log.Take(), std::vector<std::string>{Msr(kMsrPerfStatus)});
}

}  // namespace
