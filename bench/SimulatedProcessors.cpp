#include "bench/SimulatedProcessors.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

#include "engine/listings/CpuidDump.h"

tSimulatedProcessors::tSimulatedProcessors(unsigned count, platform::tCpuidRecording recording)
    : count_(count), recording_(std::move(recording)) {}

bool tSimulatedProcessors::Cpuid(std::uint32_t leaf, std::uint32_t subLeaf,
                                 platform::tCPUIDResult& out) {
  for (const platform::tRecordedLeaf& recorded : recording_) {
    if (recorded.Leaf == leaf && recorded.SubLeaf == subLeaf) {
      out = recorded.Result;
      return true;
    }
  }
  return false;
}

std::uint64_t tSimulatedProcessors::ReadTimeStampCounter() {
  return static_cast<std::uint64_t>(CounterNanoseconds()) * 3;
}

std::int64_t tSimulatedProcessors::CounterNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void tSimulatedProcessors::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

platform::tCpuidRecording FixtureRecording(const std::string& name) {
  std::ifstream in(std::string(LUMARIAN_FIXTURES) + "/cpuid/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  tCPUdata data;
  if (ParseCpuidDump(text.str(), data)) throw std::runtime_error(name + " does not read");
  return RecordingOf(data);
}
