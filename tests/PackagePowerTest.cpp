// The package's power: which processors have the energy registers, the counter's arithmetic
// (unit, wrap), and the measurement through the hardware-access device over fake registers:
// read on the first processor of the package at both ends of the window, on the program's
// list, and absent where the registers cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <memory>

#include "device/ControlDevice.h"
#include "engine/CPUid.h"
#include "engine/clocks/PackagePower.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "platform/ReplayProcessorServices.h"
#include "protocol/MsrReads.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

TEST(PackagePower, TheCounterOverTheWindow) {
  struct tCase {
    const char* Label;
    std::uint64_t Unit, Start, End;
    std::int64_t Nanoseconds;
    double Watts;  // -1: none
  } const cases[] = {
      // Energy status unit 0x0E: 2^-14 J a count; 0x100000 counts are 64 J, over 250 ms 256 W.
      {"Intel unit 0x000A0E03", 0x000A0E03, 0x1000, 0x101000, 250'000'000, 256},
      // AMD's unit 0x10: 2^-16 J; 0x80000 counts are 8 J, over 250 ms 32 W.
      {"AMD unit 0x000A1003", 0x000A1003, 0x20000, 0xA0000, 250'000'000, 32},
      // From 0xFFFFF000 to 0x1000 the counter wrapped: 0x2000 counts, 0.5 J, 2 W.
      {"the counter wrapped", 0x000A0E03, 0xFFFFF000, 0x1000, 250'000'000, 2},
      // Only the low 32 bits count.
      {"high half ignored", 0x000A0E03, 0xABCD'0000'1000, 0x1234'0010'1000, 250'000'000, 256},
      {"a window of no length", 0x000A0E03, 0x1000, 0x2000, 0, -1},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto watts = PackageWatts(c.Unit, c.Start, c.End, c.Nanoseconds);
    EXPECT_DOUBLE_EQ(watts.value_or(-1), c.Watts);
  }
}

TEST(PackagePower, WhichProcessorsHaveTheEnergyRegisters) {
  const tCpuidStore amdRapl =
      StoreOf("AuthenticAMD", 0x10,
              {{0x80000000, 0, {0x80000008, 0, 0, 0}}, {0x80000007, 0, {0, 0, 0, 1u << 14}}});
  const tCpuidStore amdNoRapl =
      StoreOf("AuthenticAMD", 0x10,
              {{0x80000000, 0, {0x80000008, 0, 0, 0}}, {0x80000007, 0, {0, 0, 0, 0x100}}});
  const tCpuidStore none = StoreOf("GenuineIntel", 0x16, {});
  struct tCase {
    const char* Label;
    tVendor Vendor;
    std::optional<tRatioRegisters> Ratio;
    const tCpuidStore* Store;
    std::uint32_t Energy;  // 0: none
  } const cases[] = {
      {"Intel from Sandy Bridge", tVendor::intel, tRatioRegisters::IntelCore, &none,
       kMsrPackageEnergyStatus},
      {"Intel Nehalem: no RAPL", tVendor::intel, tRatioRegisters::IntelNehalem, &none, 0},
      {"Intel of the older tables", tVendor::intel, std::nullopt, &none, 0},
      {"AMD with RAPL", tVendor::amd, tRatioRegisters::AmdPState, &amdRapl,
       kMsrAmdPackageEnergyStatus},
      {"AMD without", tVendor::amd, tRatioRegisters::AmdPState, &amdNoRapl, 0},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const auto registers = EnergyRegistersOf(c.Vendor, c.Ratio, *c.Store);
    EXPECT_EQ(registers ? registers->Energy : 0, c.Energy);
    if (registers) {
      EXPECT_TRUE(IsReadRegister(registers->Unit));
      EXPECT_TRUE(IsReadRegister(registers->Energy));
    }
  }
}

// Registers whose energy counter answers the next of its values at each read.
class tEnergyBackend final : public cFakeDeviceBackend {
 public:
  std::deque<std::uint64_t> Energy;
  std::vector<std::uint32_t> Read;
  bool ReadMsr(std::uint32_t index, std::uint64_t& value) override {
    Read.push_back(index);
    if (index != kMsrPackageEnergyStatus) return cFakeDeviceBackend::ReadMsr(index, value);
    if (Energy.empty()) return false;
    value = Energy.front();
    Energy.pop_front();
    return true;
  }
};

// Two recorded Kaby Lake processors of one package whose clocks run: each sleep advances the
// nanosecond counter by its length.
class tTwoProcessors final : public platform::IProcessorServices {
 public:
  explicit tTwoProcessors(platform::tCpuidRecording cpu) : replay_({cpu, cpu}) {}
  unsigned ProcessorCount() override { return 2; }
  bool PinThread(unsigned slot) override { return replay_.PinThread(slot); }
  void RestoreThread() override {}
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override {
    return replay_.Cpuid(leaf, subLeaf, out);
  }
  const platform::tCpuidRecording* Recorded(unsigned slot) const override {
    return replay_.Recorded(slot);
  }
  bool HasClocks() const override { return measuring_; }
  std::uint64_t ReadTimeStampCounter() override { return 0; }
  std::int64_t CounterNanoseconds() override { return nanoseconds_; }
  void RaisePriority() override {}
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds duration) override {
    nanoseconds_ += duration.count() * 1'000'000;
  }
  int PackageOf(unsigned) override { return 0; }
  void Stop() { measuring_ = false; }

 private:
  platform::cReplayProcessorServices replay_;
  std::atomic<bool> measuring_{true};
  std::atomic<std::int64_t> nanoseconds_{5'000'000};
};

TEST(PackagePower, MeasuredOnceForThePackageThroughTheDriver) {
  struct tCase {
    const char* Label;
    std::deque<std::uint64_t> Energy;
    bool Known;
  } const cases[] = {
      {"read at both ends", {0x1000, 0x101000}, true},
      {"not readable", {}, false},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    auto backend = std::make_shared<tEnergyBackend>();
    backend->Msrs[kMsrRaplPowerUnit] = 0x000A0E03;
    backend->Energy = c.Energy;
    DriverInterface = std::make_shared<cDrvIface>(std::make_shared<cControlDevice>(backend));
    DriverAccess = std::make_shared<tVXLDrv>();
    const platform::tCpuidRecording kabyLake = {
        {0,
         0,
         {0x16, PackText("GenuineIntel", 0), PackText("GenuineIntel", 8),
          PackText("GenuineIntel", 4)}},
        {1, 0, {0x806EA, 0, 0, 0}}};
    auto owned = std::make_unique<tTwoProcessors>(kabyLake);
    tTwoProcessors& services = *owned;
    cCPUid engine(std::move(owned), true);
    engine.WaitClocksReady();
    services.Stop();
    const tSensors sensors = engine.Sensors();
    engine.Destroy();
    DriverAccess.reset();
    DriverInterface.reset();
    // Both windows ran at once on the same fake clock; the package's counter was read by one
    // slot only: two reads of the energy, not four.
    EXPECT_EQ(std::count(backend->Read.begin(), backend->Read.end(), kMsrPackageEnergyStatus),
              c.Known ? 2 : 1);
    for (const std::uint32_t index : backend->Read)
      EXPECT_TRUE(IsReadRegister(index)) << std::hex << index;
    EXPECT_EQ(sensors.PackageWatts.has_value(), c.Known);
    // 64 J over a window of 250 ms, or up to 520 ms where the other slot's sleeps, which
    // advance the same fake clock, fell inside it: between 123 and 256 W.
    if (c.Known) {
      EXPECT_GE(*sensors.PackageWatts, 123);
      EXPECT_LE(*sensors.PackageWatts, 256);
    }
  }
}

}  // namespace
