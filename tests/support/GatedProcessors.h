// Test support: processor services whose clock measurements can be held inside their window,
// to see what runs while they are. Each slot has clocks of its own, a nanosecond counter and a
// time-stamp counter, that a sleep moves on at once: the slot's processor runs at MHzOf(slot,
// generation), the generation being that of the CPUID answers when the sleep began. With
// the gate closed, the 250 ms window of every measurement waits until the test opens it. A
// CPUID executed while a window is held there is an identification overlapping a measurement.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "engine/store/CommonTypes.h"
#include "platform/ProcessorServices.h"

class tGatedProcessors final : public platform::IProcessorServices {
 public:
  // One recorded processor per slot, its 27 rows answered for sub-leaf 0 and nothing else.
  // Leaf 0x8FFFFFFF answers (generation, slot, 0, 0).
  explicit tGatedProcessors(std::vector<tCPUdata> cpus);

  unsigned ProcessorCount() override { return static_cast<unsigned>(cpus_.size()); }
  bool PinThread(unsigned slot) override;
  void RestoreThread() override;
  bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, platform::tCPUIDResult& out) override;
  bool HasClocks() const override { return true; }
  std::uint64_t ReadTimeStampCounter() override;
  std::int64_t CounterNanoseconds() override;
  void RaisePriority() override;
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds duration) override;
  int PackageOf(unsigned) override { return -1; }

  static double MHzOf(unsigned slot, std::uint32_t generation) {
    return 1000.0 + 100.0 * slot + generation;
  }

  void CloseGate();
  void OpenGate();
  // Waits until `count` measurements are held inside their window at the closed gate; false
  // when they are not after 10 s.
  bool WaitForHeldWindows(unsigned count);
  // Waits until CPUID is executed while a window is held; false when it has not been after
  // `grace`.
  bool WaitForOverlap(std::chrono::milliseconds grace);
  bool Overlapped();
  // True when a window waited 10 s at the gate without the test opening it.
  bool GateTimedOut();
  // Measurements begun so far (priority raised).
  unsigned Measurements();
  void NextGeneration();
  // Pins to `slot` fail from now on, as for a processor gone offline.
  void RefusePin(unsigned slot);

 private:
  // The slot the calling thread is pinned to; 0 when it is not pinned.
  unsigned PinnedSlot() const;
  std::vector<tCPUdata> cpus_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::thread::id, unsigned> pinned_;
  std::vector<std::int64_t> nanoseconds_;
  std::vector<std::uint64_t> ticks_;
  bool gateOpen_ = true;
  unsigned held_ = 0;
  unsigned measurements_ = 0;
  bool overlapped_ = false;
  bool gateTimedOut_ = false;
  std::uint32_t generation_ = 1;
  std::set<unsigned> refused_;
};
