#include "hw/LLDrv.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <utility>

#include "driver/SystemBackend.h"
#include "hw/VirtMach.h"

extern char** environ;

namespace {

// Runs `modprobe msr` with its output discarded and waits for it.
void LoadMsrModule() {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = "modprobe";
  char module[] = "msr";
  char* arguments[] = {program, module, nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program, &actions, nullptr, arguments, environ) == 0) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

cLLDrv::cLLDrv(std::string deviceRoot, tVirtualMachineProbe inVirtualMachine)
    : root_(std::move(deviceRoot)), inVirtualMachine_(inVirtualMachine) {}

bool cLLDrv::InKnownVirtualMachine() {
  return InVMware() || InVirtualPC();
}

bool cLLDrv::InstallDriver() {
  if (inVirtualMachine_()) return false;
  StartDriverService();
  return OpenDevice();
}

void cLLDrv::StartDriverService() const {
  static std::once_flag loaded;
  if (geteuid() != 0 || access((root_ + "/cpu/0/msr").c_str(), F_OK) == 0) return;
  std::call_once(loaded, LoadMsrModule);
}

bool cLLDrv::OpenDevice() {
  auto backend = std::make_shared<cSystemBackend>(root_);
  if (!backend->Open()) return false;
  DeviceHandle = std::make_shared<cControlDevice>(std::move(backend));
  return true;
}
