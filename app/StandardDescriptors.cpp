#include "app/StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

bool outputWasClosed = false;

}  // namespace

bool OpenStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == STDOUT_FILENO) outputWasClosed = true;
    // The lower descriptors are open, so the lowest free one is `fd` itself.
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != fd) {
      if (opened >= 0) close(opened);
      return false;
    }
  }
  return true;
}

bool StandardOutputWasClosed() {
  return outputWasClosed;
}

int FreeDescriptors(int wanted) {
  std::vector<int> opened;
  while (static_cast<int>(opened.size()) < wanted) {
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) break;
    opened.push_back(fd);
  }
  for (const int fd : opened)
    close(fd);
  return static_cast<int>(opened.size());
}
