#include "platform/LiveProcessorServices.h"

#include <cpuid.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <time.h>
#include <unistd.h>
#include <x86intrin.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <thread>

namespace platform {
namespace {

// An affinity mask of any size: a run of cpu_set_t words, so the CPU_*_S macros apply.
class tCpuMask {
 public:
  tCpuMask() : words_(WordsFor(get_nprocs_conf())) {}

  // Reads the calling thread's mask; grows the mask while the kernel finds it too small.
  bool ReadThread() {
    while (sched_getaffinity(0, Bytes(), words_.data()) != 0) {
      if (errno != EINVAL || words_.size() >= kMaxWords) return false;
      words_.resize(words_.size() * 2);
    }
    return true;
  }
  bool ApplyToThread() const { return sched_setaffinity(0, Bytes(), words_.data()) == 0; }

  void SetOnly(int cpu) {
    const std::size_t needed = WordsFor(cpu + 1);
    if (words_.size() < needed) words_.resize(needed);
    CPU_ZERO_S(Bytes(), words_.data());
    CPU_SET_S(static_cast<std::size_t>(cpu), Bytes(), words_.data());
  }
  bool Has(std::size_t cpu) const { return CPU_ISSET_S(cpu, Bytes(), words_.data()); }
  std::size_t Bits() const { return Bytes() * 8; }

 private:
  static constexpr std::size_t kMaxWords = 1024;  // 1 048 576 processors
  static std::size_t WordsFor(int processors) {
    const std::size_t bits = processors > 0 ? static_cast<std::size_t>(processors) : 1;
    return (bits + CPU_SETSIZE - 1) / CPU_SETSIZE;
  }
  std::size_t Bytes() const { return words_.size() * sizeof(cpu_set_t); }

  std::vector<cpu_set_t> words_;
};

// What a thread had before it was pinned or raised; one per thread, because Linux keeps
// affinity and priority per thread.
struct tThreadSaved {
  tCpuMask affinity;
  tCpuMask scratch;
  bool affinity_saved = false;
  int nice = 0;
  bool priority_raised = false;
};

tThreadSaved& Saved() {
  thread_local tThreadSaved saved;
  return saved;
}

constexpr int kRaisedNice = -20;

}  // namespace

cLiveProcessorServices::cLiveProcessorServices() {
  tCpuMask allowed;
  if (allowed.ReadThread()) {
    for (std::size_t cpu = 0; cpu < allowed.Bits(); ++cpu) {
      if (allowed.Has(cpu)) processors_.push_back(static_cast<int>(cpu));
    }
  }
  if (processors_.empty()) processors_.push_back(std::max(sched_getcpu(), 0));
}

unsigned cLiveProcessorServices::ProcessorCount() {
  return static_cast<unsigned>(processors_.size());
}

bool cLiveProcessorServices::PinThread(unsigned slot) {
  if (slot >= processors_.size()) return false;
  tThreadSaved& saved = Saved();
  if (!saved.affinity_saved) {
    if (!saved.affinity.ReadThread()) return false;
    saved.affinity_saved = true;
  }
  saved.scratch.SetOnly(processors_[slot]);
  return saved.scratch.ApplyToThread();
}

void cLiveProcessorServices::RestoreThread() {
  tThreadSaved& saved = Saved();
  if (!saved.affinity_saved) return;
  saved.affinity.ApplyToThread();
  saved.affinity_saved = false;
}

bool cLiveProcessorServices::Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, tCPUIDResult& out) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid_count(leaf, subLeaf, a, b, c, d);
  out = {a, b, c, d};
  return true;
}

int cLiveProcessorServices::OsCpuOf(unsigned slot) const {
  return slot < processors_.size() ? processors_[slot] : -1;
}

std::uint64_t cLiveProcessorServices::ReadTimeStampCounter() {
  return __rdtsc();
}

std::int64_t cLiveProcessorServices::CounterNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_RAW, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void cLiveProcessorServices::RaisePriority() {
  tThreadSaved& saved = Saved();
  if (saved.priority_raised) return;
  const id_t thread = static_cast<id_t>(gettid());
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, thread);
  if (nice == -1 && errno != 0) return;
  saved.nice = nice;
  saved.priority_raised = true;
  setpriority(PRIO_PROCESS, thread, kRaisedNice);
}

void cLiveProcessorServices::RestorePriority() {
  tThreadSaved& saved = Saved();
  if (!saved.priority_raised) return;
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), saved.nice);
  saved.priority_raised = false;
}

void cLiveProcessorServices::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

int cLiveProcessorServices::PackageOf(unsigned slot) {
  if (slot >= processors_.size()) return -1;
  std::ifstream file("/sys/devices/system/cpu/cpu" + std::to_string(processors_[slot]) +
                     "/topology/physical_package_id");
  int package = -1;
  if (!(file >> package) || package < 0) return -1;
  return package;
}

bool cLiveProcessorServices::RunAdditionChain(std::uint64_t additions) {
  // 64 additions a turn, each waiting for the one before; the turn's count and branch run
  // beside them on other units and add no cycles to the chain.
  std::uintptr_t turns = static_cast<std::uintptr_t>(additions / 64);
  if (turns == 0) return true;
  std::uintptr_t sum = 0;
  const std::uintptr_t step = 1;
  asm volatile(
      "1:\n\t"
      ".rept 64\n\t"
      "add %[step], %[sum]\n\t"
      ".endr\n\t"
      "dec %[turns]\n\t"
      "jnz 1b"
      : [sum] "+r"(sum), [turns] "+r"(turns)
      : [step] "r"(step)
      : "cc");
  return true;
}

}  // namespace platform
