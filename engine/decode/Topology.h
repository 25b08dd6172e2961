// Where a logical processor sits in the machine: its x2APIC ID and the package, die, module,
// core and thread it belongs to, from the first source the processor offers: leaf 0x1F, then
// on AMD leaf 0x80000026 (which has the die level that AMD's 0xB lacks), leaf 0xB, leaf
// 0x80000026 (other vendors), leaves 0x8000001E and 0x80000008 (AMD with topology
// extensions), 0x80000008 with leaf 1 (AMD before them), or leaf 1 with leaf 4. Counted over
// every identified processor, the same records give the machine's packages, dies, cores and
// threads, and the cores of each kind on hybrid parts.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/decode/CoreType.h"
#include "engine/store/CpuidStore.h"

enum class tTopologySource : std::uint8_t {
  None,
  ExtendedTopologyV2,     // leaf 0x1F
  ExtendedTopology,       // leaf 0xB
  AmdExtendedTopology,    // leaf 0x80000026
  AmdTopologyExtensions,  // leaves 0x8000001E and 0x80000008
  AmdCoreCount,           // leaf 0x80000008 with leaf 1
  LegacyLeaves,           // leaf 1 with leaf 4
};

struct tTopology {
  tTopologySource Source = tTopologySource::None;
  std::uint32_t X2ApicId = 0;
  // The fields of the APIC ID: each counts within the level above it, the package across the
  // machine.
  std::uint32_t PackageId = 0;
  std::uint32_t DieId = 0;
  std::uint32_t ModuleId = 0;
  std::uint32_t CoreId = 0;
  std::uint32_t ThreadId = 0;
  // As the leaves report them: logical processors in the package, and cores in the package
  // (the logical processors over the threads of this processor's core); 0 where not reported.
  std::uint32_t PackageThreads = 0;
  std::uint32_t PackageCores = 0;

  friend bool operator==(const tTopology&, const tTopology&) = default;
};

tTopology TopologyOf(const tCpuidStore& store);

// A processor's place numbered over the identified processors: the package among the
// machine's packages, the die, module and core among those of its package (in the order of
// their IDs), and the thread among those of its core.
struct tPlace {
  unsigned Package = 0;
  unsigned Die = 0;
  unsigned Module = 0;
  unsigned Core = 0;
  unsigned Thread = 0;

  friend bool operator==(const tPlace&, const tPlace&) = default;
};

struct tMachineTopology {
  unsigned Packages = 0;
  unsigned Dies = 0;
  unsigned Cores = 0;
  unsigned Threads = 0;
  // Cores and logical processors of each kind; all 0 where no processor says its kind.
  unsigned PerformanceCores = 0;
  unsigned EfficiencyCores = 0;
  unsigned PerformanceThreads = 0;
  unsigned EfficiencyThreads = 0;
  std::vector<tPlace> Places;  // one per processor, in the order given

  friend bool operator==(const tMachineTopology&, const tMachineTopology&) = default;
};

// Counts over the processors whose topology and core type are given (the same number of
// each).
tMachineTopology MachineTopologyOf(std::span<const tTopology> topologies,
                                   std::span<const tCoreType> coreTypes);

// Machines counted each on its own, taken as one: their counts summed and their places in turn,
// the packages of each numbered on after those of the machines before it.
tMachineTopology CombinedMachineTopology(std::span<const tMachineTopology> machines);

// The name of a source, as the report shows it: "leaf 0x1F", ...; "" for none.
std::string_view TopologySourceName(tTopologySource source);
