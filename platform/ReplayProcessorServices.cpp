#include "platform/ReplayProcessorServices.h"

#include <utility>

namespace platform {

cReplayProcessorServices::cReplayProcessorServices(std::vector<tCpuidRecording> processors,
                                                   std::vector<tRecordingSource> sources)
    : processors_(std::move(processors)), sources_(std::move(sources)) {}

unsigned cReplayProcessorServices::ProcessorCount() {
  return static_cast<unsigned>(processors_.size());
}

bool cReplayProcessorServices::PinThread(unsigned slot) {
  if (slot >= processors_.size()) return false;
  selected_ = slot;
  return true;
}

bool cReplayProcessorServices::Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, tCPUIDResult& out) {
  const unsigned slot = selected_;
  if (slot >= processors_.size()) return false;
  for (const tRecordedLeaf& recorded : processors_[slot]) {
    if (recorded.Leaf == leaf && recorded.SubLeaf == subLeaf) {
      out = recorded.Result;
      return true;
    }
  }
  return false;
}

const tCpuidRecording* cReplayProcessorServices::Recorded(unsigned slot) const {
  return slot < processors_.size() ? &processors_[slot] : nullptr;
}

tRecordingSource cReplayProcessorServices::SourceOf(unsigned slot) const {
  return slot < sources_.size() ? sources_[slot] : tRecordingSource{};
}

}  // namespace platform
