// Cost of the full capture of one live processor (and of the same capture replayed, which is
// what it costs besides the CPUID instructions), and of loading and identifying CPUID listings
// as --load does: the largest public listing, and a listing of 384 processors.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/DumpFiles.h"
#include "engine/CPUid.h"
#include "engine/capture/CpuidCapture.h"
#include "engine/decode/Caches.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/FeatureFlags.h"
#include "engine/decode/Frequencies.h"
#include "engine/decode/Hypervisor.h"
#include "engine/decode/Topology.h"
#include "platform/LiveProcessorServices.h"
#include "platform/ReplayProcessorServices.h"

namespace {

// The public listing with the most answers: 56 processors of 48 answers.
const std::string kLargest =
    std::string(LUMARIAN_FIXTURES) + "/full/il-GenuineIntel0050657_CascadeLakeXeon_CPUID.txt";

std::vector<tCpuidStore> Load(const std::string& path) {
  auto loaded = LoadDumpFile(path);
  if (auto* error = std::get_if<std::string>(&loaded)) throw std::runtime_error(*error);
  return std::get<std::vector<tCpuidStore>>(std::move(loaded));
}

// A register listing of `count` processors, the processors of the largest listing cycled,
// written to a file of its own; its path.
std::string ListingOf(std::size_t count) {
  const std::vector<tCpuidStore> processors = Load(kLargest);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lumarian-bench-" + std::to_string(count) + ".txt"))
                               .string();
  std::ofstream out(path, std::ios::binary);
  char line[96];
  for (std::size_t k = 0; k < count; ++k) {
    out << "------[ CPUID Registers / Logical CPU #" << k << " ]------\n\n";
    for (const tCpuidEntry& e : processors[k % processors.size()].Entries()) {
      const tCPUIDResult& r = e.Result;
      std::snprintf(line, sizeof line, "CPUID %08X: %08X-%08X-%08X-%08X [SL %02X]\n", e.Leaf, r.EAX,
                    r.EBX, r.ECX, r.EDX, e.SubLeaf);
      out << line;
    }
    out << "\n";
  }
  return path;
}

void CaptureOneLiveProcessor(benchmark::State& state) {
  platform::cLiveProcessorServices live;
  if (!live.PinThread(0)) {
    state.SkipWithError("the thread cannot be moved to the first processor");
    return;
  }
  std::size_t answers = 0;
  for (auto _ : state) {
    tCpuidStore store;
    CaptureCpuid(live, store);
    answers = store.Size();
    benchmark::DoNotOptimize(store);
  }
  live.RestoreThread();
  state.counters["answers"] = static_cast<double>(answers);
}
// Each CPUID a hypervisor intercepts costs what the host makes it cost at that moment: the
// least of the repetitions is the figure of the capture itself.
BENCHMARK(CaptureOneLiveProcessor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ComputeStatistics("min", [](const std::vector<double>& times) {
      return *std::min_element(times.begin(), times.end());
    });

// The same capture with every answer replayed from one live capture: what the capture costs
// besides the CPUID instructions themselves.
void CaptureOneReplayedProcessor(benchmark::State& state) {
  platform::cLiveProcessorServices live;
  std::vector<tCpuidStore> captured = CaptureEveryProcessor(live);
  if (captured.empty()) {
    state.SkipWithError("no processor could be captured");
    return;
  }
  platform::cReplayProcessorServices replay({RecordingOf(captured[0])});
  std::size_t answers = 0;
  for (auto _ : state) {
    tCpuidStore store;
    CaptureCpuid(replay, store);
    answers = store.Size();
    benchmark::DoNotOptimize(store);
  }
  state.counters["answers"] = static_cast<double>(answers);
}
BENCHMARK(CaptureOneReplayedProcessor)->Unit(benchmark::kMicrosecond);

// Reads the file, identifies its processors with an engine of replay services (no SMBIOS,
// no clocks) and ends the engine.
void LoadAndIdentify(benchmark::State& state, const std::string& path) {
  std::size_t count = 0;
  for (auto _ : state) {
    const std::vector<tCpuidStore> processors = Load(path);
    std::vector<platform::tCpuidRecording> recordings;
    recordings.reserve(processors.size());
    for (const tCpuidStore& store : processors)
      recordings.push_back(RecordingOf(store));
    cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)),
                  true);
    engine.Destroy();
    count = processors.size();
  }
  state.counters["processors"] = static_cast<double>(count);
}
BENCHMARK_CAPTURE(LoadAndIdentify, largest_public_listing, kLargest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndIdentify, listing_of_384_processors, ListingOf(384))
    ->Unit(benchmark::kMillisecond);

// Reading the listing of 384 processors alone, and decoding what today's processors report
// of all of them alone: caches and TLBs, place, core type, feature registers and their names,
// hypervisor, reported clocks, and the machine's counts. The second is what the decoders add
// to loading.
void LoadListing(benchmark::State& state) {
  const std::string path = ListingOf(384);
  for (auto _ : state)
    benchmark::DoNotOptimize(Load(path));
}
BENCHMARK(LoadListing)->Unit(benchmark::kMillisecond);

void DecodeTodaysLeaves(benchmark::State& state) {
  const std::vector<tCpuidStore> processors = Load(ListingOf(384));
  for (auto _ : state) {
    std::vector<tTopology> topologies;
    std::vector<tCoreType> kinds;
    for (const tCpuidStore& store : processors) {
      benchmark::DoNotOptimize(CachesOf(store));
      topologies.push_back(TopologyOf(store));
      kinds.push_back(CoreTypeOf(store));
      benchmark::DoNotOptimize(FeatureNames(FeatureWordsOf(store)));
      benchmark::DoNotOptimize(HypervisorOf(store));
      benchmark::DoNotOptimize(FrequenciesOf(store));
    }
    benchmark::DoNotOptimize(MachineTopologyOf(topologies, kinds));
  }
  state.counters["processors"] = static_cast<double>(processors.size());
}
BENCHMARK(DecodeTodaysLeaves)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
