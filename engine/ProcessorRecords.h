// The records an identification makes of every processor slot: one vector per kind of
// record, all of the same length.
//
// A new per-slot record is one more member below and one more line in ForEachRecord (the
// compiler checks that no member is left out). Nothing else: the engine sizes and releases it
// with the others, an identification fills it in the engine's own working set, and readers on
// other threads receive it with the rest, whole and consistent, through cCPUid::Records().
//
// The clock records are not here: the measuring thread rewrites them every pass, so they have
// their own copy, read one slot at a time through cCPUid::ClocksOf.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/clocks/FrequencyRange.h"
#include "engine/decode/Caches.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/FeatureFlags.h"
#include "engine/decode/Frequencies.h"
#include "engine/decode/Hypervisor.h"
#include "engine/decode/Topology.h"
#include "engine/naming/ModernNaming.h"
#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

// One machine among those identified: the processors of one listing (consecutive slots), or
// those of this machine, counted on their own.
struct tIdentifiedMachine {
  platform::tRecordingSource Source;
  std::size_t FirstSlot = 0;
  std::size_t Slots = 0;
  tMachineTopology Topology;
};

struct tProcessorRecords {
  std::vector<tVendor> FlagBrand;
  std::vector<tCpuidStore> CPUstore;  // every captured (leaf, sub-leaf)
  std::vector<tCPUdata> CPUdata;      // the 27 rows of the store that every processor gets
  std::vector<tCPUid_m> CPUid_m;
  std::vector<tCPUfeatures> CPUfeatures;
  std::vector<tFeaturesFlags> FeaturesFlags;
  std::vector<tEPM> EPM;
  std::vector<tlevel1> level1;
  std::vector<tlevel2> level2;
  std::vector<tlevel3> level3;
  std::vector<tnameinfo> nameinfo;
  std::vector<tModernName> ModernNames;  // what the code-name table says of each processor
  // What today's processors report beyond the 27 leaves. The machine's counts are worked out
  // from the places and core types of all slots (MachineTopologyOf).
  std::vector<tCacheReport> CacheReports;
  std::vector<tTopology> Topologies;
  std::vector<tCoreType> CoreTypes;
  std::vector<tFeatureWords> FeatureWords;
  std::vector<tHypervisor> Hypervisors;
  std::vector<tFrequencies> Frequencies;
  // Base, maximum and minimum clock, each from the first source that gives it.
  std::vector<tFrequencyRange> FrequencyRanges;
  // How the clock measurement reads the multiplier (0: no register, SMBIOS only).
  std::vector<std::uint8_t> MultiplierMethod;
  // The fifteen descriptor bytes of leaf 2 (words 0 to 14).
  std::vector<std::array<std::uint16_t, 16>> CacheDescriptors;

  // Calls `visit` with every member above.
  template <typename tVisit>
  constexpr void ForEachRecord(tVisit&& visit) {
    visit(FlagBrand);
    visit(CPUstore);
    visit(CPUdata);
    visit(CPUid_m);
    visit(CPUfeatures);
    visit(FeaturesFlags);
    visit(EPM);
    visit(level1);
    visit(level2);
    visit(level3);
    visit(nameinfo);
    visit(ModernNames);
    visit(CacheReports);
    visit(Topologies);
    visit(CoreTypes);
    visit(FeatureWords);
    visit(Hypervisors);
    visit(Frequencies);
    visit(FrequencyRanges);
    visit(MultiplierMethod);
    visit(CacheDescriptors);
  }

  // Length of every vector.
  std::size_t SlotCount() const { return CPUdata.size(); }
  // The machines of the first `count` slots (no more than there are), one per listing they
  // were read from, in slot order; each counts only its own processors.
  std::vector<tIdentifiedMachine> Machines(std::size_t count) const;
  // Those machines taken as one (CombinedMachineTopology), with a place for each slot.
  tMachineTopology Machine(std::size_t count) const;
  // Every record of `slots` slots, all zero.
  void Resize(std::size_t slots);
  // Empties every vector and gives its memory back.
  void Release();
};
