#include "device/Modprobe.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

std::string SystemProgram(std::initializer_list<const char*> candidates) {
  for (const char* path : candidates) {
    struct stat info {};
    if (path[0] == '/' && stat(path, &info) == 0 && S_ISREG(info.st_mode) &&
        access(path, X_OK) == 0)
      return path;
  }
  return {};
}

bool RunModprobe(const std::string& program, const std::string& module) {
  if (program.empty() || program[0] != '/') return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string programArg = program, moduleArg = module;
  char* arguments[] = {programArg.data(), moduleArg.data(), nullptr};
  char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
  char* environment[] = {path, nullptr};
  pid_t child = 0;
  int status = -1;
  if (posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environment) == 0) {
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void LoadMsrModule(const std::string& deviceRoot) {
  static std::once_flag loaded;
  if (geteuid() != 0 || access((deviceRoot + "/cpu/0/msr").c_str(), F_OK) == 0) return;
  std::call_once(loaded, [] {
    const std::string modprobe = SystemProgram(kModprobePaths);
    if (!modprobe.empty()) RunModprobe(modprobe, "msr");
  });
}
