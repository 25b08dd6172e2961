// A stop request that ends a pause early: the engine's thread pauses on it between measuring
// passes, the owner requests the stop when the engine goes, and a wake-up ends a pause early
// without stopping, so that the thread can take on work that was handed to it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class tStopSignal {
 public:
  void Request();
  bool Requested() const;
  // Ends the current pause early, or the next one if none is under way.
  void Wake();
  // Pauses until `deadline`, a stop request or a wake-up, whichever comes first; a wake-up is
  // used up by the pause it ends. True when a stop was requested, before or during the pause.
  bool WaitUntil(std::chrono::steady_clock::time_point deadline);

 private:
  mutable std::mutex mutex_;
  std::condition_variable woken_;
  bool requested_ = false;
  bool wake_ = false;
};

}  // namespace platform
