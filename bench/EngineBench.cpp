// The engine over simulated processors whose clock measurement really sleeps its 10 + 250 ms:
// start-up (construction, which identifies, and the first measuring pass), and a stop while
// the first pass is under way.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include "bench/SimulatedProcessors.h"
#include "engine/CPUid.h"

namespace {

void FirstMeasuringPass(benchmark::State& state) {
  const platform::tCpuidRecording recording = FixtureRecording("intel-core-i7-2600k-cpu.txt");
  const auto processors = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    cCPUid engine(std::make_unique<tSimulatedProcessors>(processors, recording), true);
    engine.WaitClocksReady();
    state.PauseTiming();
    engine.Destroy();
    state.ResumeTiming();
  }
}
BENCHMARK(FirstMeasuringPass)
    ->Arg(1)
    ->Arg(64)
    ->Arg(1024)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void StopDuringThePass(benchmark::State& state) {
  const platform::tCpuidRecording recording = FixtureRecording("intel-core-i7-2600k-cpu.txt");
  const auto processors = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    cCPUid engine(std::make_unique<tSimulatedProcessors>(processors, recording), true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the pass is in its windows
    state.ResumeTiming();
    engine.Destroy();
  }
}
BENCHMARK(StopDuringThePass)
    ->Arg(64)
    ->Arg(1024)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
