// Whole-file reads and writes through the POSIX calls, so that every failure has its errno.
#include "images/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

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

namespace {

// The folder part of `path`, without its last separator: "." for a bare name, "/" for a file
// at the root.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new file of ours beside `path`, hidden, with a name nobody else has: never an
// existing file, never through a link. The descriptor, with the name in `created`; -1 with
// errno when no file could be created.
int CreateBeside(const std::string& path, std::string& created) {
  const std::size_t slash = path.rfind('/');
  // A part of a long name leaves room for the dot before it and the suffix after it.
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1, 200);
  const std::string stem = FolderOf(path) + "/." + name + ".";
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[9];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(entropy()));
    created = stem + suffix;
    const int fd =
        ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error) {
  // A link at the name is replaced, never written through; anything but a file is refused.
  struct stat info {};
  const bool exists = ::lstat(path.c_str(), &info) == 0;
  const bool replacesFile = exists && S_ISREG(info.st_mode);
  if (exists && !replacesFile && !S_ISLNK(info.st_mode)) {
    error = Failure("cannot write", path,
                    S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    return false;
  }
  std::string created;
  tFd fd(CreateBeside(path, created));
  if (fd.Get() < 0) {
    error = Failure("cannot write", path, std::strerror(errno));
    return false;
  }
  // The whole content reaches the disk under the new file's name before it takes the chosen
  // name: under that name there is the old file or the whole new one, never part of it.
  int failure = 0;
  if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0) failure = errno;
  // A file replaced keeps its permissions: a private file stays private.
  if (failure == 0 && replacesFile && ::fchmod(fd.Get(), info.st_mode & 07777) != 0)
    failure = errno;
  if (!fd.Close() && failure == 0) failure = errno;
  if (failure == 0 && ::rename(created.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    error = Failure("cannot write", path, std::strerror(failure));
    ::unlink(created.c_str());
    return false;
  }
  return true;
}
