// Where each logical processor sits, and the machine counted over them. The registers come
// from public listings whose own labels ("APICID 17 / Package 0 / Core 1 / Thread 0") give
// the expected places; the fields are worked out by hand beside each case.
#include "engine/decode/Topology.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "tests/support/EngineFixtures.h"

// Shown by GoogleTest when a comparison fails.
void PrintTo(const tTopology& t, std::ostream* out) {
  *out << TopologySourceName(t.Source) << ": x2APIC " << t.X2ApicId << ", package " << t.PackageId
       << " die " << t.DieId << " module " << t.ModuleId << " core " << t.CoreId << " thread "
       << t.ThreadId << ", " << t.PackageThreads << " threads / " << t.PackageCores << " cores";
}
void PrintTo(const tPlace& p, std::ostream* out) {
  *out << "package " << p.Package << " die " << p.Die << " module " << p.Module << " core "
       << p.Core << " thread " << p.Thread;
}

namespace {

using S = tTopologySource;

tTopology Place(S source, std::uint32_t x2apic, std::uint32_t package, std::uint32_t die,
                std::uint32_t module, std::uint32_t core, std::uint32_t thread,
                std::uint32_t threads, std::uint32_t cores) {
  return {source, x2apic, package, die, module, core, thread, threads, cores};
}

TEST(Topology, ExtendedTopologyLeavesSplitTheX2ApicId) {
  struct tCase {
    tCpuidStore Store;
    tTopology Expected;
    const char* Why;
  };
  // 0x1F with module and die levels: x2APIC = package 2 << 6 | die 1 << 5 | module 1 << 4 |
  // core 5 << 1 | thread 1 = 0xBB.
  const tCpuidStore layered = StoreOf("GenuineIntel", 0x1F,
                                      {{0x1F, 0, {1, 2, 0x100, 0xBB}},
                                       {0x1F, 1, {4, 16, 0x201, 0xBB}},
                                       {0x1F, 2, {5, 32, 0x302, 0xBB}},
                                       {0x1F, 3, {6, 64, 0x503, 0xBB}},
                                       {0x1F, 4, {0, 0, 4, 0xBB}}});
  // A tile level (4) between core and die numbers nothing of the record.
  const tCpuidStore tiled = StoreOf("GenuineIntel", 0x1F,
                                    {{0x1F, 0, {0, 1, 0x100, 0x35}},
                                     {0x1F, 1, {3, 8, 0x201, 0x35}},
                                     {0x1F, 2, {4, 16, 0x402, 0x35}},
                                     {0x1F, 3, {5, 32, 0x503, 0x35}}});
  tCpuidStore onlyB = RaptorLakeStore(9, false);
  onlyB.Put(0, 0, {0x1E, 0x756E6547, 0x6C65746E, 0x49656E69});  // 0x1F out of range
  onlyB.Put(0xB, 0, {1, 2, 0x100, 0x19});
  onlyB.Put(0xB, 1, {7, 0x14, 0x201, 0x19});
  // A shift field of 0x10 (its bit 4 set): x2APIC = package 1 << 16 | core 3 << 1 | thread 1.
  tCpuidStore wide = onlyB;
  wide.Put(0xB, 0, {1, 2, 0x100, 0x10007});
  wide.Put(0xB, 1, {0x10, 0x14, 0x201, 0x10007});
  const tCase cases[] = {
      // "CPU 2: APICID 8 / Package 0 / Core 1 / Thread 0": core field 8 >> 1 = 4.
      {RaptorLakeStore(8, false), Place(S::ExtendedTopologyV2, 8, 0, 0, 0, 4, 0, 20, 10),
       "performance core: 20 threads over 2 per core"},
      // "CPU 13: APICID 50 / Package 0 / Core 7 / Thread 0".
      {RaptorLakeStore(50, true), Place(S::ExtendedTopologyV2, 50, 0, 0, 0, 25, 0, 20, 20),
       "efficiency core: one thread per core"},
      {layered, Place(S::ExtendedTopologyV2, 0xBB, 2, 1, 1, 5, 1, 64, 32), "every level"},
      // 0x35 = 0b110101: core bits 2..0 = 5, tile bit 3 skipped, die bit 4 = 1, package 1.
      {tiled, Place(S::ExtendedTopologyV2, 0x35, 1, 1, 0, 5, 0, 32, 32), "a tile level"},
      {onlyB, Place(S::ExtendedTopology, 0x19, 0, 0, 0, 12, 1, 20, 10), "leaf 0xB"},
      {wide, Place(S::ExtendedTopology, 0x10007, 1, 0, 0, 3, 1, 20, 10), "a 16-bit shift"},
  };
  for (const tCase& c : cases)
    EXPECT_EQ(TopologyOf(c.Store), c.Expected) << c.Why;
}

TEST(Topology, AmdLeavesNameTheirLevelsByWhatContainsThem) {
  // Strix Point (IL AuthenticAMD0B20F40_K20_StrixPoint_06), x2APIC 2: thread shift 1, complex
  // shift 4, die and socket shift 5; 24 threads, 2 per core.
  const tCpuidStore strix = StoreOf("AuthenticAMD", 0x10,
                                    {{0x80000000, 0, {0x80000028, 0, 0, 0}},
                                     {0x80000026, 0, {0x60000001, 0x02, 0x100, 2}},
                                     {0x80000026, 1, {0xC0000004, 0x08, 0x201, 2}},
                                     {0x80000026, 2, {0x40000005, 0x18, 0x302, 2}},
                                     {0x80000026, 3, {0x00000005, 0x18, 0x403, 2}},
                                     {0x80000026, 4, {0, 0, 4, 2}}});
  EXPECT_EQ(TopologyOf(strix), Place(S::AmdExtendedTopology, 2, 0, 0, 0, 1, 0, 24, 12));

  // Both 0xB and 0x80000026, as Zen 4 and Zen 5 report them (libcpuid zen5 Ryzen 9 9950X,
  // x2APIC 0x12): 0xB has thread shift 1 and core shift 5 only; 0x80000026 adds the complex
  // (shift 4) and the die (shift 4 -> socket shift 5): die 0x12 >> 4 & 1 = 1, core 0x12 >> 1
  // & 7 = 1. AMD takes 0x80000026; another vendor with both leaves keeps 0xB.
  const std::initializer_list<tCpuidEntry> both{
      {0x80000000, 0, {0x80000028, 0, 0, 0}},  {0xB, 0, {1, 2, 0x100, 0x12}},
      {0xB, 1, {5, 0x20, 0x201, 0x12}},        {0x80000026, 0, {1, 2, 0x100, 0x12}},
      {0x80000026, 1, {4, 0x10, 0x201, 0x12}}, {0x80000026, 2, {4, 0x10, 0x302, 0x12}},
      {0x80000026, 3, {5, 0x20, 0x403, 0x12}}};
  EXPECT_EQ(TopologyOf(StoreOf("AuthenticAMD", 0x10, both)),
            Place(S::AmdExtendedTopology, 0x12, 0, 1, 0, 1, 0, 32, 16));
  EXPECT_EQ(TopologyOf(StoreOf("HygonGenuine", 0x10, both)),
            Place(S::ExtendedTopology, 0x12, 0, 0, 0, 9, 0, 32, 16));

  // A Zen 2 (Ryzen 7 3700X): 0x80000008 ECX 0000700F = 16 logical, 7 APIC-ID bits; 0x8000001E
  // EBX 0x0104: 2 threads per core. x2APIC 9: thread 1, core 4.
  const std::initializer_list<tCpuidEntry> zen2{{1, 0, {0x00870F10, 0, 0, 0}},
                                                {0x80000000, 0, {0x8000001F, 0, 0, 0}},
                                                {0x80000001, 0, {0x00870F10, 0, 0x00400000, 0}},
                                                {0x80000008, 0, {0x3030, 0, 0x0000700F, 0}},
                                                {0x8000001E, 0, {9, 0x0104, 0, 0}}};
  EXPECT_EQ(TopologyOf(StoreOf("AuthenticAMD", 0x10, zen2)),
            Place(S::AmdTopologyExtensions, 9, 0, 0, 0, 4, 1, 16, 8));

  // Bulldozer (IL AuthenticAMD0600F12_K15_Zambezi8C), "CPU 1: APICID 17 / Package 0 / Core 1 /
  // Thread 0": 0x8000001E EBX 0x100 counts two cores per compute unit, not threads; 4 APIC-ID
  // bits number the 8 cores, so the package field of 17 is 1.
  const std::initializer_list<tCpuidEntry> zambezi{{1, 0, {0x00600F12, 0x01080800, 0, 0}},
                                                   {0x80000000, 0, {0x8000001E, 0, 0, 0}},
                                                   {0x80000001, 0, {0x00600F12, 0, 0x01C9BFFF, 0}},
                                                   {0x80000008, 0, {0x3030, 0, 0x00004007, 0}},
                                                   {0x8000001E, 0, {0x11, 0x0100, 0, 0}}};
  EXPECT_EQ(TopologyOf(StoreOf("AuthenticAMD", 0xD, zambezi)),
            Place(S::AmdTopologyExtensions, 17, 1, 0, 0, 1, 0, 8, 8));

  // Before the topology extensions: a dual-core K8, 0x80000008 ECX 1 (two cores, width 1),
  // APIC ID 1 in leaf 1 EBX.
  const tCpuidStore k8 = StoreOf("AuthenticAMD", 1,
                                 {{1, 0, {0x00020F32, 0x01020800, 0, 0x178BFBFF}},
                                  {0x80000000, 0, {0x80000018, 0, 0, 0}},
                                  {0x80000008, 0, {0x3028, 0, 0x00000001, 0}}});
  EXPECT_EQ(TopologyOf(k8), Place(S::AmdCoreCount, 1, 0, 0, 0, 1, 0, 2, 2));
}

TEST(Topology, LegacyLeavesOfCoreTwoAndHyperThreadingParts) {
  struct tCase {
    std::uint32_t MaxLeaf;
    std::uint32_t Ebx;
    std::uint32_t Edx;
    std::uint32_t Leaf4Eax;
    tTopology Expected;
    const char* Why;
  };
  const tCase cases[] = {
      // IL GenuineIntel00006F6_Conroe, "CPU 1: APICID 1 / Package 0 / Core 1 / Thread 0": two
      // logical processors, leaf 4 EAX 31..26 + 1 = 2 cores.
      {10, 0x01020800, 0xBFEBFBFF, 0x04000121, Place(S::LegacyLeaves, 1, 0, 0, 0, 1, 0, 2, 2),
       "Core 2 Duo"},
      // A hyper-threaded Pentium 4 without leaf 4: 2 threads of one core.
      {2, 0x01020800, 0xBFEBFBFF, 0, Place(S::LegacyLeaves, 1, 0, 0, 0, 0, 1, 2, 1), "HT"},
      // Without the HTT bit the count field means nothing: one thread, the package is the APIC.
      {2, 0x03100800, 0x0183FBFF, 0, Place(S::LegacyLeaves, 3, 3, 0, 0, 0, 0, 1, 1), "no HTT"},
  };
  for (const tCase& c : cases) {
    tCpuidStore store = StoreOf("GenuineIntel", c.MaxLeaf, {{1, 0, {0x6F6, c.Ebx, 0, c.Edx}}});
    if (c.Leaf4Eax != 0) store.Put(4, 0, {c.Leaf4Eax, 0, 0, 0});
    EXPECT_EQ(TopologyOf(store), c.Expected) << c.Why;
  }
  EXPECT_EQ(TopologyOf(tCpuidStore{}), tTopology{});
}

TEST(MachineTopology, CountsAndPlacesOverTheIdentifiedProcessors) {
  constexpr auto P = tCoreType::Performance;
  constexpr auto E = tCoreType::Efficiency;
  // Raptor Lake's first processors: two performance cores of two threads, two efficiency
  // cores of one ("Core 0..1 / Thread 0..1", then "Core 6", "Core 7").
  std::vector<tTopology> places;
  for (const auto& [apic, efficiency] : std::vector<std::pair<std::uint32_t, bool>>{
           {0, false}, {1, false}, {8, false}, {9, false}, {48, true}, {50, true}})
    places.push_back(TopologyOf(RaptorLakeStore(apic, efficiency)));
  const std::vector<tCoreType> kinds{P, P, P, P, E, E};
  const tMachineTopology hybrid = MachineTopologyOf(places, kinds);
  EXPECT_EQ(hybrid.Packages, 1);
  EXPECT_EQ(hybrid.Dies, 1);
  EXPECT_EQ(hybrid.Cores, 4);
  EXPECT_EQ(hybrid.Threads, 6);
  EXPECT_EQ(hybrid.PerformanceCores, 2);
  EXPECT_EQ(hybrid.EfficiencyCores, 2);
  EXPECT_EQ(hybrid.PerformanceThreads, 4);
  EXPECT_EQ(hybrid.EfficiencyThreads, 2);
  const std::vector<tPlace> expected{{0, 0, 0, 0, 0}, {0, 0, 0, 0, 1}, {0, 0, 0, 1, 0},
                                     {0, 0, 0, 1, 1}, {0, 0, 0, 2, 0}, {0, 0, 0, 3, 0}};
  EXPECT_EQ(hybrid.Places, expected);

  // Two packages number their cores each from 0 (IL Haswell-EP: "APICID 67 / Package 1 /
  // Core 1 / Thread 1"); cores in the order the processors come (IL Llano: APIC IDs 0, 2, 1,
  // 3 are cores 0, 1, 2, 3).
  auto legacy = [](std::uint32_t package, std::uint32_t core, std::uint32_t thread) {
    return Place(S::ExtendedTopology, 0, package, 0, 0, core, thread, 0, 0);
  };
  const std::vector<tTopology> twoSockets{legacy(0, 0, 0), legacy(0, 1, 1), legacy(1, 0, 0),
                                          legacy(1, 1, 1), legacy(0, 2, 0), legacy(0, 1, 0)};
  const tMachineTopology servers =
      MachineTopologyOf(twoSockets, std::vector<tCoreType>(6, tCoreType::Unknown));
  EXPECT_EQ(servers.Packages, 2);
  EXPECT_EQ(servers.Cores, 5);
  EXPECT_EQ(servers.PerformanceCores + servers.EfficiencyCores, 0);
  EXPECT_EQ(servers.Places[3], (tPlace{1, 0, 0, 1, 1}));
  EXPECT_EQ(servers.Places[4], (tPlace{0, 0, 0, 2, 0}));
  EXPECT_EQ(servers.Places[5], (tPlace{0, 0, 0, 1, 0}));
}

TEST(MachineTopology, MachinesSideBySideAreSummedWithTheirPackagesNumberedOn) {
  // Two machines whose APIC IDs collide: one of a single thread (package 0, core 0), one of
  // two packages of two cores each. Counted apart and then summed: 3 packages, 5 cores, and
  // the second machine's packages numbered 1 and 2.
  auto legacy = [](std::uint32_t package, std::uint32_t core) {
    return Place(S::ExtendedTopology, 0, package, 0, 0, core, 0, 0, 0);
  };
  const std::vector<tTopology> first{legacy(0, 0)};
  const std::vector<tTopology> second{legacy(0, 0), legacy(0, 1), legacy(1, 0), legacy(1, 1)};
  const std::vector<tMachineTopology> machines{
      MachineTopologyOf(first, std::vector<tCoreType>(1, tCoreType::Unknown)),
      MachineTopologyOf(second, std::vector<tCoreType>(4, tCoreType::Performance))};
  const tMachineTopology all = CombinedMachineTopology(machines);
  EXPECT_EQ(all.Packages, 3);
  EXPECT_EQ(all.Dies, 3);
  EXPECT_EQ(all.Cores, 5);
  EXPECT_EQ(all.Threads, 5);
  EXPECT_EQ(all.PerformanceCores, 4);
  EXPECT_EQ(all.PerformanceThreads, 4);
  const std::vector<tPlace> expected{
      {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {2, 0, 0, 0, 0}, {2, 0, 0, 1, 0}};
  EXPECT_EQ(all.Places, expected);
  EXPECT_EQ(CombinedMachineTopology({}), tMachineTopology{});
}

}  // namespace
