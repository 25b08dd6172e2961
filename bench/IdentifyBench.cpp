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
#include "engine/listings/CpuidDump.h"
#include "platform/ReplayProcessorServices.h"

namespace {

const std::vector<const char*> kMixedFiles = {"intel-pentium-4-cpu-3.20ghz.txt",
                                              "amd-athlon-64-x2-dual-core-processor-5200plus.txt",
                                              "intel-0000683-p3-coppermine.txt",
                                              "amd-duron-processor-applebred.txt",
                                              "intel-xeon-cpu-3.40ghz-irwindale-dual.txt",
                                              "via-esther-processor-1500mhz.txt",
                                              "cyrix-0000601-mii.txt",
                                              "intel-core-i7-2600k-cpu.txt"};

// The processors of today among the fixture dumps: Sandy Bridge, Zambezi, Matisse, and a
// NetBurst part the vendor table leaves unnamed.
const std::vector<const char*> kModernFiles = {
    "intel-core-i7-2600k-cpu.txt", "amd-fx-8150-eight-core-processor.txt",
    "amd-ryzen-7-3700x-8-core-processor.txt", "intel-xeon-cpu-3.40ghz-irwindale-dual.txt"};

// The fixture dumps `files`, cycled to `count` recordings.
std::vector<platform::tCpuidRecording> Recordings(std::size_t count,
                                                  const std::vector<const char*>& files) {
  std::vector<platform::tCpuidRecording> recordings;
  for (std::size_t k = 0; k < count; ++k) {
    std::ifstream in(std::string(LUMARIAN_FIXTURES) + "/cpuid/" + files[k % files.size()],
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    tCPUdata data;
    if (ParseCpuidDump(text.str(), data)) throw std::runtime_error("fixture does not read");
    recordings.push_back(RecordingOf(data));
  }
  return recordings;
}

std::unique_ptr<cCPUid> Engine(std::size_t processors,
                               const std::vector<const char*>& files = kMixedFiles) {
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(Recordings(processors, files)), true);
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

// What naming one of today's processors adds: the code-name table's row, the marketing line
// and the kind of core from the processor's store, written into a name record; cycled
// through the modern processors of the fixtures.
void ModernNamingOfOneProcessor(benchmark::State& state) {
  const auto engine = Engine(kModernFiles.size(), kModernFiles);
  std::size_t k = 0;
  tnameinfo name;
  for (auto _ : state) {
    const tModernName named = ModernNameOf(engine->CPUstore[k++ % kModernFiles.size()]);
    ApplyModernName(named, name);
    benchmark::DoNotOptimize(name.LogoKey);
  }
}
BENCHMARK(ModernNamingOfOneProcessor)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
