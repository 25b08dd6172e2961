// Processor services for the benchmarks: any number of processors that all answer CPUID
// from one recorded processor, whose pinning always succeeds and moves nothing, and whose
// clock measurement really sleeps its windows against the machine's monotonic clock.
#pragma once

#include <string>

#include "platform/ReplayProcessorServices.h"

class tSimulatedProcessors final : public platform::IProcessorServices {
 public:
  tSimulatedProcessors(unsigned count, platform::tCpuidRecording recording);

  unsigned ProcessorCount() override { return count_; }
  bool PinThread(unsigned slot) override { return slot < count_; }
  void RestoreThread() override {}
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override;
  bool HasClocks() const override { return true; }
  // A 3 GHz counter.
  std::uint64_t ReadTimeStampCounter() override;
  std::int64_t CounterNanoseconds() override;
  void RaisePriority() override {}
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds duration) override;
  int PackageOf(unsigned) override { return -1; }

 private:
  unsigned count_;
  platform::tCpuidRecording recording_;
};

// The recording of a dump in tests/fixtures/cpuid.
platform::tCpuidRecording FixtureRecording(const std::string& name);
