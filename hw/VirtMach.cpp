// The VMware and Virtual PC back-door probes, under a guard for the faults they raise elsewhere.
#include "hw/VirtMach.h"

#include <setjmp.h>
#include <signal.h>
#include <ucontext.h>

#include <cstdint>
#include <mutex>

#if !defined(__x86_64__) && !defined(__i386__)
#error "the virtual-machine probes execute x86 instructions"
#endif

namespace {

constexpr std::uint32_t kVMwareMagic = 0x564D5868;  // "VMXh"
constexpr std::uint16_t kVMwarePort = 0x5658;       // "VX"
constexpr std::uint32_t kVMwareGetVersion = 10;
constexpr std::uint32_t kSkippedBytes = 4;  // length of the Virtual PC instruction

// The probes change process-wide signal actions: one probe at a time.
std::mutex probeMutex;

// Set only on the probing thread while its probe runs; a fault of any other thread goes to
// the action that was there before.
thread_local sigjmp_buf* probeJump = nullptr;
thread_local bool probingVirtualPC = false;
struct sigaction savedSegv;
struct sigaction savedIll;

void OnProbeFault(int) {
  if (probeJump == nullptr) {
    // Not ours: hand the fault back, it repeats under the earlier action.
    sigaction(SIGSEGV, &savedSegv, nullptr);
    return;
  }
  siglongjmp(*probeJump, 1);
}

void OnInvalidInstruction(int, siginfo_t*, void* context) {
  if (!probingVirtualPC) {
    sigaction(SIGILL, &savedIll, nullptr);
    return;
  }
  auto* registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
#if defined(__x86_64__)
  registers[REG_RBX] = static_cast<greg_t>(0xFFFFFFFFu);
  registers[REG_RIP] += kSkippedBytes;
#else
  registers[REG_EBX] = -1;
  registers[REG_EIP] += kSkippedBytes;
#endif
}

// Installs `action` for `signal` with the signal unblocked on this thread, and puts the
// earlier action and mask back when it goes.
class tSignalGuard {
 public:
  tSignalGuard(int signal, const struct sigaction& action, struct sigaction& saved)
      : signal_(signal), saved_(saved) {
    sigaction(signal_, &action, &saved_);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal_);
    pthread_sigmask(SIG_UNBLOCK, &unblock, &mask_);
  }
  ~tSignalGuard() {
    pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
    sigaction(signal_, &saved_, nullptr);
  }
  tSignalGuard(const tSignalGuard&) = delete;
  tSignalGuard& operator=(const tSignalGuard&) = delete;

 private:
  int signal_;
  struct sigaction& saved_;
  sigset_t mask_;
};

}  // namespace

bool InVMware() {
  std::lock_guard lock(probeMutex);
  struct sigaction action = {};
  action.sa_handler = OnProbeFault;
  sigemptyset(&action.sa_mask);
  tSignalGuard guard(SIGSEGV, action, savedSegv);

  sigjmp_buf jump;
  volatile std::uint32_t answer = 0;
  if (sigsetjmp(jump, 1) == 0) {
    probeJump = &jump;
    std::uint32_t eax = kVMwareMagic, ebx = 0, ecx = kVMwareGetVersion, edx = kVMwarePort;
    asm volatile("inl %%dx, %%eax" : "+a"(eax), "+b"(ebx), "+c"(ecx), "+d"(edx) : : "memory");
    answer = ebx;
  }
  probeJump = nullptr;
  return answer == kVMwareMagic;
}

bool InVirtualPC() {
  std::lock_guard lock(probeMutex);
  struct sigaction action = {};
  action.sa_sigaction = OnInvalidInstruction;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  tSignalGuard guard(SIGILL, action, savedIll);

  probingVirtualPC = true;
  std::uint32_t eax = 1, ebx = 0;
  asm volatile(".byte 0x0f, 0x3f, 0x07, 0x0b" : "+a"(eax), "+b"(ebx) : : "memory");
  probingVirtualPC = false;
  return ebx == 0;
}

const char* ProbedVirtualMachine() {
  if (InVMware()) return "VMware";
  if (InVirtualPC()) return "Virtual PC";
  return "";
}
