// The live processor services on this machine: pinning and restoring the calling thread,
// CPUID, the counters and the priority.
#include "platform/LiveProcessorServices.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <thread>

namespace {

// The processors this thread may run on, in a set as large as the kernel's (which may count
// more than the C library's fixed 1024).
std::vector<int> AllowedNow() {
  for (int size = CPU_SETSIZE;; size *= 2) {
    cpu_set_t* set = CPU_ALLOC(size);
    const std::size_t bytes = CPU_ALLOC_SIZE(size);
    CPU_ZERO_S(bytes, set);
    if (sched_getaffinity(0, bytes, set) == 0) {
      std::vector<int> cpus;
      for (int cpu = 0; cpu < size; ++cpu) {
        if (CPU_ISSET_S(cpu, bytes, set)) cpus.push_back(cpu);
      }
      CPU_FREE(set);
      return cpus;
    }
    CPU_FREE(set);
    if (errno != EINVAL || size >= (1 << 20)) {
      ADD_FAILURE() << "sched_getaffinity: " << errno;
      return {};
    }
  }
}

TEST(LiveProcessorServices, SlotsAreTheAllowedProcessorsInAscendingOrder) {
  platform::cLiveProcessorServices services;
  EXPECT_EQ(services.SlotProcessors(), AllowedNow());
  EXPECT_EQ(services.ProcessorCount(), AllowedNow().size());
}

TEST(LiveProcessorServices, PinsTheCallingThreadAndRestoresItsAffinity) {
  // On a thread of its own, so the test runner's thread keeps its affinity whatever happens.
  std::thread([] {
    platform::cLiveProcessorServices services;
    const std::vector<int> before = AllowedNow();
    for (unsigned slot = 0; slot < services.ProcessorCount(); ++slot) {
      ASSERT_TRUE(services.PinThread(slot));
      EXPECT_EQ(AllowedNow(), std::vector<int>{services.SlotProcessors()[slot]});
      EXPECT_EQ(sched_getcpu(), services.SlotProcessors()[slot]);
    }
    EXPECT_FALSE(services.PinThread(services.ProcessorCount()));
    services.RestoreThread();
    EXPECT_EQ(AllowedNow(), before);
    services.RestoreThread();  // nothing kept: nothing changes
    EXPECT_EQ(AllowedNow(), before);
  }).join();
}

TEST(LiveProcessorServices, ExecutesCpuidWithTheSubleafGiven) {
  platform::cLiveProcessorServices services;
  platform::tCPUIDResult leaf0;
  ASSERT_TRUE(services.Cpuid(0, 0, leaf0));
  EXPECT_GE(leaf0.EAX, 1u) << "every processor of this program's kind has leaf 1";
  EXPECT_NE(leaf0.EBX, 0u) << "the vendor string";
  // Leaf 4 depends on ECX: subleaf 0 describes the first cache, never "no cache" with level 0.
  platform::tCPUIDResult leaf4;
  ASSERT_TRUE(services.Cpuid(4, 0, leaf4));
  if (leaf0.EAX >= 4 && (leaf4.EAX & 0x1F) != 0) {
    EXPECT_EQ((leaf4.EAX >> 5) & 7, 1u);
  }
  // Leaf 0xD sub-leaf 2 is the AVX state: 256 bytes at offset 576 of the standard XSAVE area
  // wherever AVX is enabled (leaf 1 ECX bits 26 XSAVE and 28 AVX).
  platform::tCPUIDResult leaf1;
  ASSERT_TRUE(services.Cpuid(1, 0, leaf1));
  if (leaf0.EAX < 0xD || (leaf1.ECX & (1u << 26)) == 0 || (leaf1.ECX & (1u << 28)) == 0) {
    GTEST_SKIP() << "no AVX state on this processor";
  }
  platform::tCPUIDResult avxState;
  ASSERT_TRUE(services.Cpuid(0xD, 2, avxState));
  EXPECT_EQ(avxState.EAX, 256u);
  EXPECT_EQ(avxState.EBX, 576u);
}

TEST(LiveProcessorServices, CountersMoveForward) {
  platform::cLiveProcessorServices services;
  EXPECT_TRUE(services.HasClocks());
  const std::int64_t t0 = services.CounterNanoseconds();
  const std::uint64_t c0 = services.ReadTimeStampCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_GE(services.CounterNanoseconds() - t0, 2'000'000);
  EXPECT_GT(services.ReadTimeStampCounter(), c0);
}

// Whether this process may give a thread the highest priority, nice -20, as the kernel
// decides it: CAP_SYS_NICE in the effective set, or a nice limit (20 - RLIMIT_NICE) of -20.
bool MayTakeTheHighestPriority() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) == 0) {
      constexpr int kCapSysNice = 23;
      if ((std::stoull(line.substr(7), nullptr, 16) >> kCapSysNice) & 1) return true;
    }
  }
  rlimit limit{};
  return getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 40;
}

TEST(LiveProcessorServices, PriorityComesBackToWhatItWas) {
  std::thread([] {
    platform::cLiveProcessorServices services;
    const id_t thread = static_cast<id_t>(gettid());
    const int before = getpriority(PRIO_PROCESS, thread);
    services.RaisePriority();
    const int raised = getpriority(PRIO_PROCESS, thread);
    EXPECT_LE(raised, before) << "raised where permitted, never lowered";
    if (MayTakeTheHighestPriority() && before > -20) {
      EXPECT_LT(raised, before);
    }
    services.RestorePriority();
    EXPECT_EQ(getpriority(PRIO_PROCESS, thread), before);
  }).join();
}

}  // namespace
