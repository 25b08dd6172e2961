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

void tStopSignal::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = true;
  }
  woken_.notify_all();
}

bool tStopSignal::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> lock(mutex_);
  woken_.wait_until(lock, deadline, [this] { return requested_ || wake_; });
  wake_ = false;
  return requested_;
}

}  // namespace platform
