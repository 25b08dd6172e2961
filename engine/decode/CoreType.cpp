#include "engine/decode/CoreType.h"

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

// Leaf 0x1A EAX bits 31..24.
constexpr std::uint32_t kIntelAtom = 0x20;
constexpr std::uint32_t kIntelCore = 0x40;
// Leaf 0x80000026 EBX bits 31..28, meaningful when EAX bit 30 (heterogeneous cores) is set.
constexpr std::uint32_t kAmdPerformance = 0;
constexpr std::uint32_t kAmdEfficiency = 1;
constexpr unsigned kHeterogeneousBit = 30;

}  // namespace

tCoreType CoreTypeOf(const tCpuidStore& store) {
  if (const tCPUIDResult* hybrid = ReportedLeaf(store, kLeafHybrid)) {
    switch (GetBits(hybrid->EAX, 24, 31)) {
      case kIntelCore:
        return tCoreType::Performance;
      case kIntelAtom:
        return tCoreType::Efficiency;
      default:
        break;
    }
  }
  if (const tCPUIDResult* topology = ReportedLeaf(store, kLeafExtendedTopologyAmd)) {
    if (GetBit(topology->EAX, kHeterogeneousBit) != 0) {
      switch (GetBits(topology->EBX, 28, 31)) {
        case kAmdPerformance:
          return tCoreType::Performance;
        case kAmdEfficiency:
          return tCoreType::Efficiency;
        default:
          break;
      }
    }
  }
  return tCoreType::Unknown;
}

std::string_view CoreTypeName(tCoreType type) {
  switch (type) {
    case tCoreType::Performance:
      return "performance";
    case tCoreType::Efficiency:
      return "efficiency";
    default:
      return "";
  }
}
