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

std::vector<tIdentifiedMachine> tProcessorRecords::Machines(std::size_t count) const {
  count = std::min({count, Topologies.size(), CoreTypes.size(), CPUstore.size()});
  std::vector<tIdentifiedMachine> machines;
  for (std::size_t first = 0, next = 0; first < count; first = next) {
    const platform::tRecordingSource& source = CPUstore[first].Source;
    // The processors of one listing, whatever numbers the listing gives them.
    while (next < count && CPUstore[next].Source.Listing == source.Listing)
      ++next;
    tIdentifiedMachine& machine = machines.emplace_back();
    machine.Source = source;
    machine.FirstSlot = first;
    machine.Slots = next - first;
    machine.Topology = MachineTopologyOf(std::span(Topologies).subspan(first, machine.Slots),
                                         std::span(CoreTypes).subspan(first, machine.Slots));
  }
  return machines;
}

tMachineTopology tProcessorRecords::Machine(std::size_t count) const {
  std::vector<tMachineTopology> counted;
  for (tIdentifiedMachine& machine : Machines(count))
    counted.push_back(std::move(machine.Topology));
  return CombinedMachineTopology(counted);
}
