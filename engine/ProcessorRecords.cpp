#include "engine/ProcessorRecords.h"

#include <algorithm>
#include <span>

namespace {

// Every member of tProcessorRecords is a vector that ForEachRecord visits: a member added
// without its line there would be neither sized, released nor published.
constexpr std::size_t VisitedRecords() {
  tProcessorRecords records;
  std::size_t visited = 0;
  records.ForEachRecord([&visited](auto&) { ++visited; });
  return visited;
}
static_assert(sizeof(tProcessorRecords) == VisitedRecords() * sizeof(std::vector<char>),
              "every per-slot record needs its line in tProcessorRecords::ForEachRecord");

}  // namespace

void tProcessorRecords::Resize(std::size_t slots) {
  ForEachRecord([slots](auto& records) { records.assign(slots, {}); });
}

void tProcessorRecords::Release() {
  ForEachRecord([](auto& records) {
    records.clear();
    records.shrink_to_fit();
  });
}

tMachineTopology tProcessorRecords::Machine(std::size_t count) const {
  count = std::min({count, Topologies.size(), CoreTypes.size()});
  return MachineTopologyOf(std::span(Topologies).first(count), std::span(CoreTypes).first(count));
}
