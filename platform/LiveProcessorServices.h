// The processor services of this machine: the processors of the process's allowed set,
// thread affinity, thread priority, the CPUID and RDTSC instructions and the raw monotonic
// clock.
#pragma once

#include <vector>

#include "platform/ProcessorServices.h"

namespace platform {

class cLiveProcessorServices final : public IProcessorServices {
 public:
  // Takes the allowed set of the calling thread as it is now; slot i is its i-th processor
  // in ascending order, and the processor count stays the size of that set.
  cLiveProcessorServices();

  unsigned ProcessorCount() override;
  bool PinThread(unsigned slot) override;
  void RestoreThread() override;
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, tCPUIDResult& out) override;
  int OsCpuOf(unsigned slot) const override;
  bool HasClocks() const override { return true; }
  std::uint64_t ReadTimeStampCounter() override;
  std::int64_t CounterNanoseconds() override;
  void RaisePriority() override;
  void RestorePriority() override;
  void Sleep(std::chrono::milliseconds duration) override;
  // Read from /sys/devices/system/cpu/cpuN/topology/physical_package_id.
  int PackageOf(unsigned slot) override;

  // The files below "/".
  const tSystemFiles* Files() const override { return &files_; }
  // Rounded down to a multiple of 64.
  bool RunAdditionChain(std::uint64_t additions) override;

  // The system's processor number of each slot.
  const std::vector<int>& SlotProcessors() const { return processors_; }

 private:
  std::vector<int> processors_;
  tSystemFiles files_;
};

}  // namespace platform
