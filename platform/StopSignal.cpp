#include "platform/StopSignal.h"

namespace platform {

void tStopSignal::Request() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
  }
  woken_.notify_all();
}

bool tStopSignal::Requested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_;
}

bool tStopSignal::WaitFor(std::chrono::milliseconds period) {
  std::unique_lock<std::mutex> lock(mutex_);
  return woken_.wait_for(lock, period, [this] { return requested_; });
}

}  // namespace platform
