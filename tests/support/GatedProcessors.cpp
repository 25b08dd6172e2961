#include "tests/support/GatedProcessors.h"

#include <utility>

namespace {

constexpr std::chrono::seconds kPatience{10};
constexpr std::chrono::milliseconds kWindow{250};

}  // namespace

tGatedProcessors::tGatedProcessors(std::vector<tCPUdata> cpus)
    : cpus_(std::move(cpus)),
      nanoseconds_(cpus_.size(), 1'000'000),
      ticks_(cpus_.size(), 5'000'000) {}

unsigned tGatedProcessors::PinnedSlot() const {
  const auto found = pinned_.find(std::this_thread::get_id());
  return found != pinned_.end() ? found->second : 0;
}

bool tGatedProcessors::PinThread(unsigned slot) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (slot >= cpus_.size() || refused_.count(slot) != 0) return false;
  pinned_[std::this_thread::get_id()] = slot;
  return true;
}

void tGatedProcessors::RestoreThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  pinned_.erase(std::this_thread::get_id());
}

bool tGatedProcessors::Cpuid(std::uint32_t leaf, std::uint32_t subLeaf,
                             platform::tCPUIDResult& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (held_ != 0) {
    overlapped_ = true;
    changed_.notify_all();
  }
  const unsigned slot = PinnedSlot();
  if (subLeaf != 0) return false;
  if (leaf == 0x8FFFFFFF) {
    out = {generation_, slot, 0, 0};
    return true;
  }
  const tCPUdata& data = cpus_[slot];
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    if (CaptureLeaf(k) == leaf) {
      out = data.Row(k);
      return true;
    }
  }
  return false;
}

std::uint64_t tGatedProcessors::ReadTimeStampCounter() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ticks_[PinnedSlot()];
}

std::int64_t tGatedProcessors::CounterNanoseconds() {
  std::lock_guard<std::mutex> lock(mutex_);
  return nanoseconds_[PinnedSlot()];
}

void tGatedProcessors::RaisePriority() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++measurements_;
}

void tGatedProcessors::Sleep(std::chrono::milliseconds duration) {
  std::unique_lock<std::mutex> lock(mutex_);
  const double mhz = MHzOf(PinnedSlot(), generation_);
  if (duration == kWindow && !gateOpen_) {
    ++held_;
    changed_.notify_all();
    if (!changed_.wait_for(lock, kPatience, [this] { return gateOpen_; })) gateTimedOut_ = true;
    --held_;
  }
  const unsigned slot = PinnedSlot();
  nanoseconds_[slot] += std::chrono::nanoseconds(duration).count();
  ticks_[slot] += static_cast<std::uint64_t>(mhz * 1000.0 * static_cast<double>(duration.count()));
}

void tGatedProcessors::CloseGate() {
  std::lock_guard<std::mutex> lock(mutex_);
  gateOpen_ = false;
}

void tGatedProcessors::OpenGate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    gateOpen_ = true;
  }
  changed_.notify_all();
}

bool tGatedProcessors::WaitForHeldWindows(unsigned count) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [this, count] { return held_ >= count; });
}

bool tGatedProcessors::WaitForOverlap(std::chrono::milliseconds grace) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, grace, [this] { return overlapped_; });
}

bool tGatedProcessors::Overlapped() {
  std::lock_guard<std::mutex> lock(mutex_);
  return overlapped_;
}

bool tGatedProcessors::GateTimedOut() {
  std::lock_guard<std::mutex> lock(mutex_);
  return gateTimedOut_;
}

unsigned tGatedProcessors::Measurements() {
  std::lock_guard<std::mutex> lock(mutex_);
  return measurements_;
}

void tGatedProcessors::NextGeneration() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++generation_;
}

void tGatedProcessors::RefusePin(unsigned slot) {
  std::lock_guard<std::mutex> lock(mutex_);
  refused_.insert(slot);
}
