// The virtual-machine probes fault outside their machines; the faults are caught, and every
// signal action and the thread's signal mask are as they were before, on every thread, at
// every moment.
#include "hw/VirtMach.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace {

void Marker(int) {}

TEST(VirtualMachineProbes, ReturnAndRestoreTheEarlierSignalActions) {
  std::thread([] {
    struct sigaction mine = {};
    mine.sa_handler = Marker;
    sigemptyset(&mine.sa_mask);
    struct sigaction earlierSegv, earlierIll;
    ASSERT_EQ(sigaction(SIGSEGV, &mine, &earlierSegv), 0);
    ASSERT_EQ(sigaction(SIGILL, &mine, &earlierIll), 0);
    // Blocked signals stay blocked afterwards, though the probes need them delivered.
    sigset_t blocked, before, after;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGILL);
    sigaddset(&blocked, SIGSEGV);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &before), 0);

    // Whatever the machine is, asking again gives the same answers.
    const bool virtualPc = InVirtualPC();
    EXPECT_EQ(InVirtualPC(), virtualPc);
    const bool vmware = InVMware();
    EXPECT_EQ(InVMware(), vmware);

    ASSERT_EQ(pthread_sigmask(SIG_SETMASK, &before, &after), 0);
    EXPECT_TRUE(sigismember(&after, SIGILL));
    EXPECT_TRUE(sigismember(&after, SIGSEGV));
    struct sigaction now;
    for (int signal : {SIGSEGV, SIGILL}) {
      ASSERT_EQ(sigaction(signal, nullptr, &now), 0);
      EXPECT_EQ(now.sa_handler, &Marker) << signal;
    }
    sigaction(SIGSEGV, &earlierSegv, nullptr);
    sigaction(SIGILL, &earlierIll, nullptr);
  }).join();
}

TEST(VirtualMachineProbes, NoOtherThreadEverSeesAnotherSignalAction) {
  struct sigaction mine = {}, earlierSegv, earlierIll;
  mine.sa_handler = Marker;
  sigemptyset(&mine.sa_mask);
  ASSERT_EQ(sigaction(SIGSEGV, &mine, &earlierSegv), 0);
  ASSERT_EQ(sigaction(SIGILL, &mine, &earlierIll), 0);
  // One thread probes again and again while another looks at the actions.
  std::atomic<bool> probing{true};
  std::atomic<int> seen{0}, looks{0};
  std::thread watcher([&] {
    while (probing) {
      for (int signal : {SIGSEGV, SIGILL}) {
        struct sigaction now;
        if (sigaction(signal, nullptr, &now) == 0 && now.sa_handler != &Marker) ++seen;
      }
      ++looks;
    }
  });
  std::thread prober([&] {
    while (looks == 0)
      std::this_thread::yield();
    for (int k = 0; k < 200; ++k) {
      InVMware();
      InVirtualPC();
    }
    probing = false;
  });
  prober.join();
  watcher.join();
  EXPECT_GT(looks, 0);
  EXPECT_EQ(seen, 0) << "of " << looks << " looks";
  sigaction(SIGSEGV, &earlierSegv, nullptr);
  sigaction(SIGILL, &earlierIll, nullptr);
}

}  // namespace
