#include "app/StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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
