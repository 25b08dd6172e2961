// A stop request that ends a pause early: the engine's thread sleeps on it between
// measuring passes, and the owner requests the stop when the engine goes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class tStopSignal {
 public:
  void Request();
  bool Requested() const;
  // Waits until `period` has passed or a stop is requested; true when a stop was requested,
  // before or during the wait.
  bool WaitFor(std::chrono::milliseconds period);

 private:
  mutable std::mutex mutex_;
  std::condition_variable woken_;
  bool requested_ = false;
};

}  // namespace platform
