// The naming dispatch by vendor, its error guard, and the performance-rating lookup.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "engine/naming/Naming.h"
#include "platform/ReplayProcessorServices.h"
#include "tests/support/EngineFixtures.h"

namespace {

// Every vendor string of the decoder reaches its own routine. The signatures are shared
// between vendors (5/0, 5/4) so that a processor routed to the wrong routine gets another
// code name, or none.
TEST(NamingDispatch, EveryVendorStringReachesItsRoutine) {
  struct tCase {
    std::string_view Vendor;
    unsigned Family;
    unsigned Model;
    tVendor Expected;
    std::string_view CodeName;
    std::uint8_t UnitCount;
  };
  constexpr tCase kCases[] = {
      {"GenuineIntel", 5, 4, tVendor::intel, "P55C", 1},
      {"UMC UMC UMC ", 4, 1, tVendor::umc, "U5D", 1},
      {"AuthenticAMD", 5, 0, tVendor::amd, "SSA5", 1},
      {"CyrixInstead", 5, 4, tVendor::cyrix, "GXm", 0},
      {"NexGenDriven", 5, 0, tVendor::nexgen, "Nx586", 1},
      {"CentaurHauls", 5, 4, tVendor::centaur, "", 0},
      {"RiseRiseRise", 5, 0, tVendor::rise, "Kirin", 1},
      {"SiS SiS SiS ", 5, 0, tVendor::sis, "x55", 1},
      {"GenuineTMx86", 5, 4, tVendor::transmeta, "TM3", 1},
      {"Geode by NSC", 5, 4, tVendor::national, "GX1", 1},
  };
  std::vector<tRawCpu> cpus;
  for (const tCase& c : kCases) {
    tRawCpu cpu;
    cpu.Vendor(c.Vendor).Signature(c.Family, c.Model, 1);
    cpus.push_back(cpu);
  }
  const auto e = Identified(cpus);
  for (unsigned slot = 0; slot < std::size(kCases); ++slot) {
    const tCase& c = kCases[slot];
    SCOPED_TRACE(c.Vendor);
    EXPECT_EQ(e->FlagBrand[slot], c.Expected);
    EXPECT_EQ(e->nameinfo[slot].CodeName.View(), c.CodeName);
    EXPECT_EQ(e->level2[slot].UnitCount, c.UnitCount);
  }
}

TEST(NamingDispatch, CentaurGetsAnEmptyRecord) {
  tRawCpu cpu;
  cpu.Vendor("CentaurHauls").Signature(6, 9, 4);
  const auto e = Identified({cpu});
  ASSERT_EQ(e->FlagBrand[0], tVendor::centaur);
  EXPECT_TRUE(e->NameProcessor(0));
  const tnameinfo& name = e->nameinfo[0];
  for (const tString255* field : {&name.CodeName, &name.CpuName, &name.Rating, &name.Platform,
                                  &name.TechProcess, &name.TranQuantity, &name.DieSize})
    EXPECT_TRUE(field->Empty());
  EXPECT_EQ(name.LogoKey, 0);
  EXPECT_EQ(e->level2[0].UnitCount, 0);
}

TEST(NamingDispatch, UnknownVendorValueOrSlotNamesNothing) {
  tRawCpu cpu;
  cpu.Vendor("UMC UMC UMC ").Signature(4, 2, 0);
  const auto e = Identified({cpu});
  e->nameinfo[0] = tnameinfo{};
  e->level2[0].UnitCount = 0;
  e->FlagBrand[0] = static_cast<tVendor>(10);
  EXPECT_TRUE(e->NameProcessor(0));
  EXPECT_TRUE(e->nameinfo[0].CodeName.Empty());
  EXPECT_EQ(e->level2[0].UnitCount, 0);
  EXPECT_FALSE(e->NameProcessor(static_cast<unsigned>(e->SlotCount())));
}

// A vendor string no vendor uses keeps the slot's vendor value, yet the slot is not named by
// that vendor's table: an RDC part with an Intel Pentium MMX signature is no Pentium MMX.
TEST(NamingDispatch, UnknownVendorStringNamesNothing) {
  tRawCpu rdc;
  rdc.Vendor("Genuine  RDC").Signature(5, 8, 6);
  tRawCpu amd = tRawCpu::Amd(6, 4, 2);
  auto e = Identified({rdc, amd});
  EXPECT_EQ(e->FlagBrand[0], tVendor::intel);
  EXPECT_TRUE(e->nameinfo[0].CpuName.Empty());
  EXPECT_EQ(e->nameinfo[0].LogoKey, 0);
  EXPECT_EQ(e->level2[0].UnitCount, 0);
  EXPECT_EQ(e->level2[0].Present, 1) << "no Pentium preset either";

  // Slot 1 was an AMD Thunderbird; when its string turns unknown it stays amd, and its record
  // is left as it is rather than named by the AMD table.
  ASSERT_EQ(e->nameinfo[1].CodeName, "Thunderbird");
  e->CPUdata[1].StdLeaf[0].EBX = 0x4E4B4E55;  // "UNKN"
  e->DecodeVendor(1);
  e->DecodeIdentity(1);
  e->nameinfo[1].CodeName = "earlier";
  EXPECT_TRUE(e->NameProcessor(1));
  EXPECT_EQ(e->FlagBrand[1], tVendor::amd);
  EXPECT_EQ(e->nameinfo[1].CodeName, "earlier");
}

// Replay services whose processor count fails, on the thread that armed them, until
// disarmed. The engine's measuring thread keeps getting answers.
class cFailingCountServices final : public platform::IProcessorServices {
 public:
  explicit cFailingCountServices(std::vector<platform::tCpuidRecording> processors)
      : replay_(std::move(processors)) {}

  void ArmOnThisThread() { armed_ = std::this_thread::get_id(); }
  void Disarm() { armed_ = std::thread::id{}; }

  unsigned ProcessorCount() override {
    if (armed_.load() == std::this_thread::get_id())
      throw std::runtime_error("processor count unavailable");
    return replay_.ProcessorCount();
  }
  bool PinThread(unsigned slot) override { return replay_.PinThread(slot); }
  void RestoreThread() override { replay_.RestoreThread(); }
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override {
    return replay_.Cpuid(leaf, subLeaf, out);
  }
  bool HasClocks() const override { return replay_.HasClocks(); }
  std::uint64_t ReadTimeStampCounter() override { return replay_.ReadTimeStampCounter(); }
  std::int64_t CounterNanoseconds() override { return replay_.CounterNanoseconds(); }
  void RaisePriority() override { replay_.RaisePriority(); }
  void RestorePriority() override { replay_.RestorePriority(); }
  void Sleep(std::chrono::milliseconds duration) override { replay_.Sleep(duration); }
  int PackageOf(unsigned slot) override { return replay_.PackageOf(slot); }

 private:
  platform::cReplayProcessorServices replay_;
  std::atomic<std::thread::id> armed_{};
};

// A Palomino with the MP flag asks for the processor count after its row is written; the
// failure there ends naming with false and keeps what was written.
TEST(NamingDispatch, ErrorInVendorRoutineKeepsEarlierFields) {
  tRawCpu cpu = tRawCpu::Amd(6, 6, 2);
  cpu.ExtEdxBit(19);
  auto services = std::make_unique<cFailingCountServices>(
      std::vector<platform::tCpuidRecording>{RecordingOf(cpu.Data())});
  cFailingCountServices& failing = *services;
  cCPUid e(std::move(services), true);
  ASSERT_EQ(e.CPUfeatures[0].MP, 1);

  e.nameinfo[0] = tnameinfo{};
  e.nameinfo[0].Rating = "earlier";
  e.level2[0].UnitCount = 0;
  failing.ArmOnThisThread();
  EXPECT_FALSE(e.NameProcessor(0));
  failing.Disarm();
  EXPECT_EQ(e.nameinfo[0].CodeName.View(), "Palomino");
  EXPECT_EQ(e.nameinfo[0].Rating.View(), "earlier");
  EXPECT_EQ(e.level2[0].UnitCount, 1);

  // One processor: the MP part without a second processor names as an XP.
  EXPECT_TRUE(e.NameProcessor(0));
  EXPECT_EQ(e.nameinfo[0].CpuName.View(), "AMD Athlon(tm) XP Processor");
}

TEST(LookupRating, MatchesBusWindowExactMultiplierAndL2Size) {
  constexpr std::string_view kEarlier = "earlier";
  struct tCase {
    double Bus;
    float Multiplier;
    std::uint16_t L2;
    std::string_view Rating;  // kEarlier: no row matches
  };
  constexpr tCase kCases[] = {
      {128.0, 10.0f, 256, kEarlier},  // 133 - 128 = 5 is not below 5
      {128.5, 10.0f, 256, "1500+"},   {137.9, 10.0f, 256, "1500+"}, {138.0, 10.0f, 256, kEarlier},
      {133.3, 12.49f, 256, kEarlier}, {133.3, 12.5f, 256, "2000+"}, {133.3, 15.0f, 256, "2400+"},
      {166.0, 12.0f, 512, "2700+"},   {166.0, 12.0f, 256, "2400+"}, {166.0, 11.0f, 256, kEarlier},
      {200.4, 11.0f, 512, "3200+"},   {0.0, 0.0f, 0, kEarlier},
  };
  const auto e = Identified({tRawCpu{}});
  for (const tCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.Bus << " MHz x " << c.Multiplier << ", " << c.L2 << " KB");
    e->nameinfo[0].Rating = kEarlier;
    e->Clocks[0].BusClock = c.Bus;
    e->Clocks[0].Multiplier = c.Multiplier;
    e->level2[0].Size = c.L2;
    e->LookupRating(0);
    EXPECT_EQ(e->nameinfo[0].Rating.View(), c.Rating);
  }
}

}  // namespace
