#include "engine/decode/Topology.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "engine/decode/DisplaySignature.h"
#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"
#include "engine/store/VendorStrings.h"

namespace {

constexpr unsigned kHttBit = 28;  // of leaf 1 EDX
// From this family on, 0x8000001E counts threads per core; before, cores per compute unit.
constexpr std::uint32_t kZenFamily = 0x17;

std::uint32_t Mask(unsigned width) {
  return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
}

// Bits that number `count` things.
unsigned WidthOf(std::uint32_t count) {
  unsigned width = 0;
  while (width < 32 && (std::uint64_t{1} << width) < count)
    ++width;
  return width;
}

// ---- Leaves 0x1F, 0xB and 0x80000026 -------------------------------------------------------

enum class tField : std::uint8_t { None, Thread, Core, Module, Die };

// The field of the record that each level type's bits of the APIC ID number. Intel names a
// level after what its bits number; AMD after what contains them.
constexpr tField kIntelLevels[] = {tField::None, tField::Thread, tField::Core, tField::Module,
                                   tField::None, tField::Die,    tField::None};
constexpr tField kAmdLevels[] = {tField::None, tField::Thread, tField::Core, tField::Module,
                                 tField::Die};

template <std::size_t N>
tField FieldOf(const tField (&levels)[N], std::uint32_t type) {
  return type < N ? levels[type] : tField::None;
}

std::uint32_t& FieldRef(tTopology& t, tField field) {
  switch (field) {
    case tField::Core:
      return t.CoreId;
    case tField::Module:
      return t.ModuleId;
    case tField::Die:
      return t.DieId;
    default:
      return t.ThreadId;
  }
}

// The levels of an extended topology leaf, lowest first, up to the first of type 0. False when
// the processor does not report the leaf or its first level counts no processor.
template <std::size_t N>
bool FromLevels(const tCpuidStore& store, std::uint32_t leaf, const tField (&levels)[N],
                tTopology& t) {
  const tCPUIDResult* first = ReportedLeaf(store, leaf);
  if (first == nullptr || GetBits(first->EBX, 0, 15) == 0) return false;
  t.X2ApicId = first->EDX;
  unsigned below = 0;  // the shift of the level below
  std::uint32_t threadsPerCore = 0;
  for (const tCpuidEntry& entry : store.SubLeaves(leaf)) {
    const tCPUIDResult& r = entry.Result;
    const std::uint32_t type = GetBits(r.ECX, 8, 15);
    if (type == 0) break;
    const unsigned shift = std::max(below, static_cast<unsigned>(GetBits(r.EAX, 0, 4)));
    const tField field = FieldOf(levels, type);
    if (field != tField::None)
      FieldRef(t, field) = (t.X2ApicId >> std::min(below, 31u)) & Mask(shift - below);
    if (field == tField::Thread) threadsPerCore = GetBits(r.EBX, 0, 15);
    t.PackageThreads = GetBits(r.EBX, 0, 15);
    below = shift;
  }
  t.PackageId = below >= 32 ? 0 : t.X2ApicId >> below;
  t.PackageCores = threadsPerCore != 0 ? t.PackageThreads / threadsPerCore : t.PackageThreads;
  return true;
}

// ---- AMD before leaf 0x80000026 ------------------------------------------------------------

bool HasTopologyExtensions(const tCpuidStore& store) {
  const tCPUIDResult* features = ReportedLeaf(store, kLeafExtendedFeatures);
  return features != nullptr && GetBit(features->ECX, kTopologyExtensionsBit) != 0;
}

// Logical processors in the package and the APIC-ID bits that number them, from 0x80000008.
struct tCoreCount {
  std::uint32_t Count;
  unsigned Width;
};
std::optional<tCoreCount> CoreCountOf(const tCpuidStore& store) {
  const tCPUIDResult* sizes = ReportedLeaf(store, kLeafAddressSizes);
  if (sizes == nullptr) return std::nullopt;
  const std::uint32_t count = GetBits(sizes->ECX, 0, 7) + 1;
  const unsigned width = GetBits(sizes->ECX, 12, 15);
  if (count == 1 && width == 0) return std::nullopt;
  return tCoreCount{count, width != 0 ? width : WidthOf(count)};
}

bool FromAmdIds(const tCpuidStore& store, tTopology& t) {
  const tCPUIDResult* ids = ReportedLeaf(store, kLeafProcessorIds);
  const std::optional<tCoreCount> cores = CoreCountOf(store);
  if (ids == nullptr || !HasTopologyExtensions(store) || !cores) return false;
  const bool zen = DisplaySignatureOf(store).Family >= kZenFamily;
  const std::uint32_t perUnit = GetBits(ids->EBX, 8, 15) + 1;
  const std::uint32_t threadsPerCore = zen ? perUnit : 1;
  const unsigned threadWidth = WidthOf(threadsPerCore);
  t.X2ApicId = ids->EAX;
  t.ThreadId = t.X2ApicId & Mask(threadWidth);
  t.CoreId = (t.X2ApicId >> threadWidth) & Mask(cores->Width - std::min(threadWidth, cores->Width));
  // Before Zen, the second byte counts the cores of a compute unit, which the first numbers.
  if (!zen) t.ModuleId = GetBits(ids->EBX, 0, 7);
  const std::uint32_t nodes = GetBits(ids->ECX, 8, 10) + 1;
  t.DieId = GetBits(ids->ECX, 0, 7) & Mask(WidthOf(nodes));
  t.PackageId = cores->Width >= 32 ? 0 : t.X2ApicId >> cores->Width;
  t.PackageThreads = cores->Count;
  t.PackageCores = cores->Count / threadsPerCore;
  return true;
}

std::uint32_t LegacyApicId(const tCpuidStore& store) {
  return GetBits(store.Get(kLeafFeatures).EBX, 24, 31);
}

bool FromCoreCount(const tCpuidStore& store, tTopology& t) {
  const std::optional<tCoreCount> cores = CoreCountOf(store);
  if (!cores || ReportedLeaf(store, kLeafFeatures) == nullptr) return false;
  t.X2ApicId = LegacyApicId(store);
  t.CoreId = t.X2ApicId & Mask(cores->Width);
  t.PackageId = t.X2ApicId >> cores->Width;
  t.PackageThreads = cores->Count;
  t.PackageCores = cores->Count;
  return true;
}

// ---- Leaf 1 with leaf 4 --------------------------------------------------------------------

bool FromLegacyLeaves(const tCpuidStore& store, tTopology& t) {
  const tCPUIDResult* leaf1 = ReportedLeaf(store, kLeafFeatures);
  if (leaf1 == nullptr) return false;
  const bool multi = GetBit(leaf1->EDX, kHttBit) != 0;
  const std::uint32_t logical = multi ? std::max(1u, GetBits(leaf1->EBX, 16, 23)) : 1;
  std::uint32_t cores = 1;
  if (const tCPUIDResult* leaf4 = ReportedLeaf(store, kLeafCacheParameters)) {
    if (GetBits(leaf4->EAX, 0, 4) != 0) cores = GetBits(leaf4->EAX, 26, 31) + 1;
  }
  const unsigned threadWidth = WidthOf(std::max(1u, logical / cores));
  const unsigned coreWidth = WidthOf(cores);
  t.X2ApicId = LegacyApicId(store);
  t.ThreadId = t.X2ApicId & Mask(threadWidth);
  t.CoreId = (t.X2ApicId >> threadWidth) & Mask(coreWidth);
  t.PackageId = t.X2ApicId >> (threadWidth + coreWidth);
  t.PackageThreads = logical;
  t.PackageCores = cores;
  return true;
}

}  // namespace

tTopology TopologyOf(const tCpuidStore& store) {
  tTopology t;
  // AMD's leaf 0xB has no die level: where 0x80000026 is offered, it is read first, so the
  // dies (CCDs) of a package are counted.
  const bool amd = VendorStringOf(store) == kVendorAmd;
  if (FromLevels(store, kLeafExtendedTopologyV2, kIntelLevels, t)) {
    t.Source = tTopologySource::ExtendedTopologyV2;
  } else if (t = {}; amd && FromLevels(store, kLeafExtendedTopologyAmd, kAmdLevels, t)) {
    t.Source = tTopologySource::AmdExtendedTopology;
  } else if (t = {}; FromLevels(store, kLeafExtendedTopology, kIntelLevels, t)) {
    t.Source = tTopologySource::ExtendedTopology;
  } else if (t = {}; FromLevels(store, kLeafExtendedTopologyAmd, kAmdLevels, t)) {
    t.Source = tTopologySource::AmdExtendedTopology;
  } else if (t = {}; FromAmdIds(store, t)) {
    t.Source = tTopologySource::AmdTopologyExtensions;
  } else if (t = {}; FromCoreCount(store, t)) {
    t.Source = tTopologySource::AmdCoreCount;
  } else if (t = {}; FromLegacyLeaves(store, t)) {
    t.Source = tTopologySource::LegacyLeaves;
  } else {
    t = {};
  }
  return t;
}

namespace {

// Numbers keys in the order they first come.
template <typename Key>
class tOrdinals {
 public:
  unsigned Of(const Key& key) { return seen_.try_emplace(key, seen_.size()).first->second; }
  std::size_t Count() const { return seen_.size(); }

 private:
  std::map<Key, unsigned> seen_;
};

}  // namespace

tMachineTopology MachineTopologyOf(std::span<const tTopology> topologies,
                                   std::span<const tCoreType> coreTypes) {
  using tDie = std::tuple<std::uint32_t, std::uint32_t>;
  using tModule = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;
  using tCore = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t>;
  tOrdinals<std::uint32_t> packages;
  std::map<std::uint32_t, tOrdinals<tDie>> dies;
  std::map<std::uint32_t, tOrdinals<tModule>> modules;
  std::map<std::uint32_t, tOrdinals<tCore>> cores;
  std::map<tCore, tCoreType> kindOfCore;

  tMachineTopology machine;
  const std::size_t count = std::min(topologies.size(), coreTypes.size());
  for (std::size_t k = 0; k < count; ++k) {
    const tTopology& t = topologies[k];
    const tCore core{t.PackageId, t.DieId, t.ModuleId, t.CoreId};
    tPlace place;
    place.Package = packages.Of(t.PackageId);
    place.Die = dies[t.PackageId].Of({t.PackageId, t.DieId});
    place.Module = modules[t.PackageId].Of({t.PackageId, t.DieId, t.ModuleId});
    place.Core = cores[t.PackageId].Of(core);
    place.Thread = t.ThreadId;
    machine.Places.push_back(place);
    kindOfCore.try_emplace(core, coreTypes[k]);
    if (coreTypes[k] == tCoreType::Performance) ++machine.PerformanceThreads;
    if (coreTypes[k] == tCoreType::Efficiency) ++machine.EfficiencyThreads;
  }
  machine.Packages = static_cast<unsigned>(packages.Count());
  for (const auto& [package, ordinals] : dies)
    machine.Dies += static_cast<unsigned>(ordinals.Count());
  machine.Cores = static_cast<unsigned>(kindOfCore.size());
  machine.Threads = static_cast<unsigned>(count);
  for (const auto& [core, kind] : kindOfCore) {
    if (kind == tCoreType::Performance) ++machine.PerformanceCores;
    if (kind == tCoreType::Efficiency) ++machine.EfficiencyCores;
  }
  return machine;
}

tMachineTopology CombinedMachineTopology(std::span<const tMachineTopology> machines) {
  tMachineTopology all;
  for (const tMachineTopology& machine : machines) {
    for (tPlace place : machine.Places) {
      place.Package += all.Packages;
      all.Places.push_back(place);
    }
    all.Packages += machine.Packages;
    all.Dies += machine.Dies;
    all.Cores += machine.Cores;
    all.Threads += machine.Threads;
    all.PerformanceCores += machine.PerformanceCores;
    all.EfficiencyCores += machine.EfficiencyCores;
    all.PerformanceThreads += machine.PerformanceThreads;
    all.EfficiencyThreads += machine.EfficiencyThreads;
  }
  return all;
}

std::string_view TopologySourceName(tTopologySource source) {
  switch (source) {
    case tTopologySource::ExtendedTopologyV2:
      return "leaf 0x1F";
    case tTopologySource::ExtendedTopology:
      return "leaf 0xB";
    case tTopologySource::AmdExtendedTopology:
      return "leaf 0x80000026";
    case tTopologySource::AmdTopologyExtensions:
      return "leaves 0x8000001E and 0x80000008";
    case tTopologySource::AmdCoreCount:
      return "leaves 1 and 0x80000008";
    case tTopologySource::LegacyLeaves:
      return "leaves 1 and 4";
    default:
      return "";
  }
}
