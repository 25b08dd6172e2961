// The VMware and Virtual PC back-door probes. Outside their machines they fault; each probe
// runs in a child process of its own, whose signal actions are its own, so that no thread of
// the program ever runs under an action it did not set.
#include "hw/VirtMach.h"

#include <setjmp.h>
#include <signal.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#if !defined(__x86_64__) && !defined(__i386__)
#error "the virtual-machine probes execute x86 instructions"
#endif

namespace {

constexpr std::uint32_t kVMwareMagic = 0x564D5868;  // "VMXh"
constexpr std::uint16_t kVMwarePort = 0x5658;       // "VX"
constexpr std::uint32_t kVMwareGetVersion = 10;
constexpr std::uint32_t kSkippedBytes = 4;  // length of the Virtual PC instruction

// The child's exit status when its machine answered.
constexpr int kAnswered = 1;

sigjmp_buf probeJump;

void OnProbeFault(int) {
  siglongjmp(probeJump, 1);
}

void OnInvalidInstruction(int, siginfo_t*, void* context) {
  auto* registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
#if defined(__x86_64__)
  registers[REG_RBX] = static_cast<greg_t>(0xFFFFFFFFu);
  registers[REG_RIP] += kSkippedBytes;
#else
  registers[REG_EBX] = -1;
  registers[REG_EIP] += kSkippedBytes;
#endif
}

// In a child: installs `action` for `signal`, delivered, and runs `probe`; true when it says
// the machine answered. The child calls only what is safe after a fork of a process with
// threads: signal actions and masks, the probe's instructions and _exit. A child that cannot
// be started, or that ends any other way, is no answer.
bool InChild(int signal, const struct sigaction& action, bool (*probe)()) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    sigaction(signal, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    _exit(probe() ? kAnswered : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == kAnswered;
}

bool VMwareAnswers() {
  volatile std::uint32_t answer = 0;
  if (sigsetjmp(probeJump, 1) == 0) {
    std::uint32_t eax = kVMwareMagic, ebx = 0, ecx = kVMwareGetVersion, edx = kVMwarePort;
    asm volatile("inl %%dx, %%eax" : "+a"(eax), "+b"(ebx), "+c"(ecx), "+d"(edx) : : "memory");
    answer = ebx;
  }
  return answer == kVMwareMagic;
}

bool VirtualPCAnswers() {
  std::uint32_t eax = 1, ebx = 0;
  asm volatile(".byte 0x0f, 0x3f, 0x07, 0x0b" : "+a"(eax), "+b"(ebx) : : "memory");
  return ebx == 0;
}

}  // namespace

bool InVMware() {
  struct sigaction action = {};
  action.sa_handler = OnProbeFault;
  sigemptyset(&action.sa_mask);
  return InChild(SIGSEGV, action, VMwareAnswers);
}

bool InVirtualPC() {
  struct sigaction action = {};
  action.sa_sigaction = OnInvalidInstruction;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  return InChild(SIGILL, action, VirtualPCAnswers);
}

const char* ProbedVirtualMachine() {
  if (InVMware()) return "VMware";
  if (InVirtualPC()) return "Virtual PC";
  return "";
}
