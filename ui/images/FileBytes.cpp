// Whole-file reads and writes through the POSIX calls, so that every failure has its errno.
#include "ui/images/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string Failure(const char* what, const std::string& path, const std::string& reason) {
  return std::string(what) + " " + path + ": " + reason;
}

// Closes the descriptor when the scope ends, unless it was closed already.
class tFd {
 public:
  explicit tFd(int fd) : fd_(fd) {}
  tFd(const tFd&) = delete;
  tFd& operator=(const tFd&) = delete;
  ~tFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closes now; false with errno set when the close reports a failed write.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
  // Non-blocking, so that opening a FIFO by mistake does not wait for a writer.
  tFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) {
    error = Failure("cannot read", path, std::strerror(errno));
    return false;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    error = Failure("cannot read", path, std::strerror(errno));
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = Failure("cannot read", path,
                    S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    return false;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    error = Failure("cannot read", path, "larger than " + std::to_string(maxBytes) + " bytes");
    return false;
  }

  std::vector<std::uint8_t> content(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t got = ::read(fd.Get(), content.data() + done, content.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = Failure("cannot read", path, std::strerror(errno));
      return false;
    }
    if (got == 0) break;  // the file shrank while being read
    done += static_cast<std::size_t>(got);
  }
  content.resize(done);
  bytes = std::move(content);
  return true;
}

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error) {
  tFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.Get() < 0) {
    error = Failure("cannot write", path, std::strerror(errno));
    return false;
  }
  struct stat info {};
  const bool regular = ::fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode);

  int failure = 0;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      failure = put < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  if (!fd.Close() && failure == 0) failure = errno;
  if (failure == 0) return true;

  error = Failure("cannot write", path, std::strerror(failure));
  // A picture cut short is of no use to anyone; devices and pipes are not ours to remove.
  if (regular) ::unlink(path.c_str());
  return false;
}
