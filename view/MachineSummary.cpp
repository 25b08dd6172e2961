#include "view/MachineSummary.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "engine/decode/DisplaySignature.h"
#include "view/Captions.h"

namespace {

// The bits an ID takes to number `count` sharers: the sharers of one cache instance have the
// same APIC ID above them.
unsigned WidthOf(unsigned count) {
  unsigned width = 0;
  while (width < 32 && (1ull << width) < count)
    ++width;
  return width;
}

// A cache instance: the package, die, module and core, or the package and the APIC ID's bits
// above the sharers'.
using tInstance = std::tuple<unsigned, unsigned, unsigned, unsigned, std::uint32_t>;
// The instances of one level and kind, by their size in KB.
using tInstancesBySize = std::map<std::uint32_t, std::set<tInstance>>;

// One cache row of the summary: a level and a kind, in the order the rows are shown.
struct tCacheRowKind {
  std::uint8_t Level;
  tCacheType Type;
  std::string_view Caption;
};
constexpr tCacheRowKind kCacheRows[] = {
    {1, tCacheType::Data, processor_caption::kLevel1Data},
    {1, tCacheType::Instruction, processor_caption::kLevel1Instructions},
    {1, tCacheType::Trace, processor_caption::kLevel1Trace},
    {1, tCacheType::Unified, processor_caption::kLevel1Data},
    {2, tCacheType::Unified, processor_caption::kLevel2},
    {3, tCacheType::Unified, processor_caption::kLevel3},
    {4, tCacheType::Unified, summary_caption::kLevel4},
};

// The instance of a cache that a processor uses: those sharing it have the same bits of the
// x2APIC ID above the sharers' width. Where the processor does not say how many share it, a
// level-1 or level-2 cache is taken to be its core's and a higher one its package's.
tInstance InstanceOf(const tCacheInfo& cache, const tTopology& topology, const tPlace& place) {
  if (cache.SharedBy != 0)
    return {place.Package, 0, 0, 0, topology.X2ApicId >> WidthOf(cache.SharedBy)};
  if (cache.Level <= 2) return {place.Package, place.Die, place.Module, place.Core, 0};
  return {place.Package, 0, 0, 0, 0};
}

std::string Decimal(unsigned long long n) {
  return std::to_string(n);
}

// "2 \xD7 32 MB (64 MB)" for every size the level has, the largest first; a trace cache counts
// thousands of micro-operations.
std::string CacheText(const tInstancesBySize& sizes, bool trace) {
  std::string text;
  for (auto size = sizes.rbegin(); size != sizes.rend(); ++size) {
    const unsigned long long instances = size->second.size();
    auto sized = [trace](unsigned long long kb) {
      return trace ? Decimal(kb) + " K\xB5Ops" : CacheSizeText(kb);
    };
    text.append(text.empty() ? "" : ", ").append(Decimal(instances)).append(" \xD7 ");
    text.append(sized(size->first));
    if (instances > 1) text.append(" (").append(sized(instances * size->first)).append(")");
  }
  return text;
}

// The distinct texts of `texts` in the order they first come, joined by ", ".
std::string Distinct(const std::vector<std::string>& texts) {
  std::vector<std::string> seen;
  for (const std::string& text : texts) {
    if (!text.empty() && std::find(seen.begin(), seen.end(), text) == seen.end())
      seen.push_back(text);
  }
  std::string joined;
  for (const std::string& text : seen)
    joined.append(joined.empty() ? "" : ", ").append(text);
  return joined;
}

std::string CoresText(const tMachineTopology& m) {
  auto threads = [](unsigned n) { return Decimal(n) + (n == 1 ? " thread" : " threads"); };
  if (m.PerformanceCores + m.EfficiencyCores == 0)
    return Decimal(m.Cores) + ", " + threads(m.Threads);
  std::string text;
  if (m.PerformanceCores != 0)
    text = Decimal(m.PerformanceCores) + " performance, " + threads(m.PerformanceThreads);
  if (m.EfficiencyCores != 0) {
    text.append(text.empty() ? "" : "; ").append(Decimal(m.EfficiencyCores));
    text.append(" efficiency, ").append(threads(m.EfficiencyThreads));
  }
  return text;
}

std::string SignatureText(const tDisplaySignature& s) {
  char text[64];
  std::snprintf(text, sizeof text, "family 0x%X, model 0x%X, stepping %u", s.Family, s.Model,
                s.Stepping);
  return text;
}

tMachineSummary SummaryOf(const tProcessorRecords& records, const tIdentifiedMachine& machine) {
  using namespace summary_caption;
  tMachineSummary summary;
  summary.Listing = machine.Source.File;
  summary.FirstSlot = machine.FirstSlot;
  summary.Slots = machine.Slots;
  summary.Lines.push_back({kCores, CoresText(machine.Topology)});

  for (const tCacheRowKind& row : kCacheRows) {
    tInstancesBySize sizes;
    for (std::size_t k = 0; k < machine.Slots; ++k) {
      const std::size_t slot = machine.FirstSlot + k;
      for (const tCacheInfo& cache : records.CacheReports[slot].Caches) {
        if (cache.Level != row.Level || cache.Type != row.Type || cache.SizeKB == 0) continue;
        sizes[cache.SizeKB].insert(
            InstanceOf(cache, records.Topologies[slot], machine.Topology.Places[k]));
      }
    }
    if (!sizes.empty())
      summary.Lines.push_back({row.Caption, CacheText(sizes, row.Type == tCacheType::Trace)});
  }

  std::vector<std::string> signatures, microarchitectures, processes;
  for (std::size_t slot = machine.FirstSlot; slot < machine.FirstSlot + machine.Slots; ++slot) {
    signatures.push_back(SignatureText(DisplaySignatureOf(records.CPUstore[slot])));
    microarchitectures.push_back(records.ModernNames[slot].Microarchitecture());
    processes.emplace_back(records.ModernNames[slot].Process());
  }
  summary.Lines.push_back({kSignature, Distinct(signatures)});
  summary.Lines.push_back({kMicroarchitecture, Distinct(microarchitectures)});
  summary.Lines.push_back({kProcess, Distinct(processes)});
  return summary;
}

}  // namespace

std::string CacheSizeText(unsigned long long kb) {
  if (kb != 0 && kb % 1024 == 0) return Decimal(kb / 1024) + " MB";
  return Decimal(kb) + " KB";
}

std::vector<tMachineSummary> MachineSummaries(const tProcessorRecords& records,
                                              std::size_t identified) {
  identified = std::min({identified, records.CacheReports.size(), records.ModernNames.size()});
  std::vector<tMachineSummary> summaries;
  for (const tIdentifiedMachine& machine : records.Machines(identified))
    summaries.push_back(SummaryOf(records, machine));
  return summaries;
}
