#include "device/SystemBackend.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/types.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <utility>

namespace {

// Register indices reach 0xFFFFFFFF: offsets are 64-bit on every target.
bool ReadAt(int fd, void* bytes, std::size_t count, std::uint64_t offset) {
  return pread64(fd, bytes, count, static_cast<off64_t>(offset)) == static_cast<ssize_t>(count);
}

bool WriteAt(int fd, const void* bytes, std::size_t count, std::uint64_t offset) {
  return pwrite64(fd, bytes, count, static_cast<off64_t>(offset)) == static_cast<ssize_t>(count);
}

bool ValidWidth(unsigned width) {
  return width == 1 || width == 2 || width == 4;
}

}  // namespace

cSystemBackend::cSystemBackend(std::string deviceRoot, std::shared_ptr<IPortInstructions> ports)
    : root_(std::move(deviceRoot)), ports_(std::move(ports)) {}

bool cSystemBackend::Open() {
  const int msr = OpenMsrDevice(O_RDONLY);
  if (msr < 0) return false;
  close(msr);
  return true;
}

int cSystemBackend::OpenMsrDevice(int flags) const {
  const int cpu = processor_ >= 0 ? processor_ : sched_getcpu();
  if (cpu < 0) return -1;
  char path[PATH_MAX];
  const int length = std::snprintf(path, sizeof path, "%s/cpu/%d/msr", root_.c_str(), cpu);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) return -1;
  return open(path, flags | O_CLOEXEC);
}

bool cSystemBackend::PermitPorts(std::uint16_t port, unsigned width) {
  return ValidWidth(width) && port + width <= 0x10000 && ports_->Permit(port, width, true);
}

bool cSystemBackend::ReadPort(std::uint16_t port, unsigned width, std::uint32_t& value) {
  if (!PermitPorts(port, width)) return false;
  value = ports_->In(port, width);
  ports_->Permit(port, width, false);
  return true;
}

bool cSystemBackend::WritePort(std::uint16_t port, unsigned width, std::uint32_t value) {
  if (!PermitPorts(port, width)) return false;
  ports_->Out(port, width, value);
  ports_->Permit(port, width, false);
  return true;
}

bool cSystemBackend::ReadMsr(std::uint32_t index, std::uint64_t& value) {
  const int fd = OpenMsrDevice(O_RDONLY);
  if (fd < 0) return false;
  std::uint64_t read = 0;
  const bool ok = ReadAt(fd, &read, sizeof read, index);
  close(fd);
  if (ok) value = read;
  return ok;
}

bool cSystemBackend::WriteMsr(std::uint32_t index, std::uint64_t value) {
  const int fd = OpenMsrDevice(O_WRONLY);
  if (fd < 0) return false;
  const bool ok = WriteAt(fd, &value, sizeof value, index);
  close(fd);
  return ok;
}
