#include "app/InputFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string CannotOpen(const std::string& reason) {
  return "cannot open: " + reason;
}

std::string CannotRead(const std::string& reason) {
  return "cannot read: " + reason;
}

bool IsDevice(mode_t mode) {
  return S_ISCHR(mode) || S_ISBLK(mode);
}

class tOpenFile {
 public:
  explicit tOpenFile(int fd) : fd_(fd) {}
  tOpenFile(const tOpenFile&) = delete;
  tOpenFile& operator=(const tOpenFile&) = delete;
  ~tOpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  int Fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadInputFile(const std::string& path, std::size_t maxBytes,
                                         std::string& bytes, std::chrono::milliseconds idleLimit) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return CannotOpen(std::strerror(errno));
  if (IsDevice(info.st_mode)) return CannotOpen("a device, not a file");

  // Non-blocking: opening a FIFO waits for nobody, and a silent pipe is noticed.
  const tOpenFile file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Fd() < 0) return CannotOpen(std::strerror(errno));
  // The name may have been replaced by a device between the look and the open.
  if (fstat(file.Fd(), &info) != 0) return CannotOpen(std::strerror(errno));
  if (IsDevice(info.st_mode)) return CannotOpen("a device, not a file");

  std::string content;
  char chunk[4096];
  while (content.size() < maxBytes) {
    const std::size_t wanted = std::min(sizeof chunk, maxBytes - content.size());
    const ssize_t got = read(file.Fd(), chunk, wanted);
    if (got > 0) {
      content.append(chunk, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0) break;  // end of file, or a FIFO without a writer
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return CannotRead(std::strerror(errno));
    pollfd ready{file.Fd(), POLLIN, 0};
    const int waited = poll(&ready, 1, static_cast<int>(idleLimit.count()));
    if (waited == 0)
      return CannotRead("no data within " + std::to_string(idleLimit.count()) + " ms");
    if (waited < 0 && errno != EINTR) return CannotRead(std::strerror(errno));
  }
  bytes = std::move(content);
  return std::nullopt;
}
