// Processor services that replay recorded CPUID results, one recording per slot. Nothing
// is pinned and no clock runs: the engine identifies the recorded processors as if they
// were this machine's.
#pragma once

#include <atomic>
#include <vector>

#include "platform/ProcessorServices.h"

namespace platform {

class cReplayProcessorServices final : public cClocklessProcessorServices {
 public:
  // `sources` (one per recording, or none: all of one unnamed listing) say which listing
  // each recording was read from.
  explicit cReplayProcessorServices(std::vector<tCpuidRecording> processors,
                                    std::vector<tRecordingSource> sources = {});

  unsigned ProcessorCount() override;
  // Selects the recording that Cpuid answers from; the thread itself stays where it is.
  bool PinThread(unsigned slot) override;
  void RestoreThread() override {}
  // A (leaf, sub-leaf) that the recording of the selected slot does not hold gets no answer.
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, tCPUIDResult& out) override;
  const tCpuidRecording* Recorded(unsigned slot) const override;
  tRecordingSource SourceOf(unsigned slot) const override;
  // The number the listing gave the processor, where it gave one.
  int OsCpuOf(unsigned slot) const override { return SourceOf(slot).OsCpu; }

 private:
  std::vector<tCpuidRecording> processors_;
  std::vector<tRecordingSource> sources_;
  std::atomic<unsigned> selected_{0};
};

}  // namespace platform
