// Cost of identifying replayed processors: capture and decoding of one processor, a whole
// identification of 64, and the JSON report of 64.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/JsonReport.h"
#include "engine/CPUid.h"
#include "engine/CpuidDump.h"
#include "platform/ReplayProcessorServices.h"

namespace {

// The fixture dumps, cycled to `count` recordings.
std::vector<platform::tCpuidRecording> Recordings(std::size_t count) {
  static const char* const kFiles[] = {"intel-pentium-4-cpu-3.20ghz.txt",
                                       "amd-athlon-64-x2-dual-core-processor-5200plus.txt",
                                       "intel-0000683-p3-coppermine.txt",
                                       "amd-duron-processor-applebred.txt",
                                       "intel-xeon-cpu-3.40ghz-irwindale-dual.txt",
                                       "via-esther-processor-1500mhz.txt",
                                       "cyrix-0000601-mii.txt",
                                       "intel-core-i7-2600k-cpu.txt"};
  std::vector<platform::tCpuidRecording> recordings;
  for (std::size_t k = 0; k < count; ++k) {
    std::ifstream in(std::string(LUMARIAN_FIXTURES) + "/cpuid/" + kFiles[k % std::size(kFiles)],
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    tCPUdata data;
    if (ParseCpuidDump(text.str(), data)) throw std::runtime_error("fixture does not read");
    recordings.push_back(RecordingOf(data));
  }
  return recordings;
}

std::unique_ptr<cCPUid> Engine(std::size_t processors) {
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(Recordings(processors)), true);
}

void CaptureAndDecodeOneProcessor(benchmark::State& state) {
  const auto engine = Engine(1);
  for (auto _ : state) {
    engine->CaptureSlot(0);
    engine->DecodeVendor(0);
    engine->DecodeIdentity(0);
    engine->DecodePowerMgmt(0);
    engine->DecodeFeatures(0);
    engine->DecodeFeatureBits(0);
    engine->DecodeCaches();
    benchmark::DoNotOptimize(engine->level2[0].Size);
  }
}
BENCHMARK(CaptureAndDecodeOneProcessor);

void IdentifyReplayed(benchmark::State& state) {
  const auto engine = Engine(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    engine->Identify();
    benchmark::DoNotOptimize(engine->nameinfo[0].LogoKey);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(IdentifyReplayed)->Arg(1)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

void JsonReportOfReplayed(benchmark::State& state) {
  const auto engine = Engine(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(JsonReport(*engine, false));
}
BENCHMARK(JsonReportOfReplayed)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
