// This machine's SMBIOS tables: the kernel's copy under /sys/firmware/dmi/tables, else the
// physical memory device. Only reads; every failure is a false result.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "smbios/get_dmi.h"

namespace {

class tFile {
 public:
  explicit tFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), error_(fd_ < 0 ? errno : 0) {}
  ~tFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  tFile(const tFile&) = delete;
  tFile& operator=(const tFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Whether opening was refused for want of permission.
  bool Refused() const { return fd_ < 0 && (error_ == EACCES || error_ == EPERM); }

  // The whole file, read to its end (files under /sys report no useful size beforehand).
  bool ReadAll(std::vector<std::uint8_t>& out) const {
    out.clear();
    std::uint8_t chunk[4096];
    for (;;) {
      const ssize_t got = ::read(fd_, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) return true;
      out.insert(out.end(), chunk, chunk + got);
    }
  }

  // Exactly `length` bytes at `offset`; a short read is a failure.
  bool ReadAt(std::uint64_t offset, std::size_t length, std::vector<std::uint8_t>& out) const {
    constexpr auto kLastOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    if (offset > kLastOffset || length > kLastOffset - offset) return false;
    out.assign(length, 0);
    std::size_t done = 0;
    while (done < length) {
      const auto at = static_cast<off_t>(offset + done);
      const ssize_t got = ::pread(fd_, out.data() + done, length - done, at);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      done += static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  int error_;
};

class tSystemSMBIOSSource final : public ISMBIOSSource {
 public:
  tSystemSMBIOSSource(std::string tablesDir, std::string memoryDevice)
      : tablesDir_(std::move(tablesDir)), memoryDevice_(std::move(memoryDevice)) {}

  bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                    std::vector<std::uint8_t>& table) override {
    const tFile entryFile(tablesDir_ + "/smbios_entry_point");
    const tFile tableFile(tablesDir_ + "/DMI");
    Note(entryFile);
    Note(tableFile);
    return entryFile.IsOpen() && tableFile.IsOpen() && entryFile.ReadAll(entryPoint) &&
           tableFile.ReadAll(table);
  }

  bool BIOSArea(std::vector<std::uint8_t>& area) override {
    return ReadPhysical(kBIOSAreaBase, kBIOSAreaSize, area);
  }

  bool ReadPhysical(std::uint64_t address, std::size_t length,
                    std::vector<std::uint8_t>& out) override {
    const tFile memory(memoryDevice_);
    Note(memory);
    return memory.IsOpen() && memory.ReadAt(address, length, out);
  }

  bool PermissionDenied() const override { return denied_; }

 private:
  void Note(const tFile& file) { denied_ = denied_ || file.Refused(); }

  bool denied_ = false;
  std::string tablesDir_;
  std::string memoryDevice_;
};

}  // namespace

std::unique_ptr<ISMBIOSSource> SMBIOSSourceAt(std::string tablesDir, std::string memoryDevice) {
  return std::make_unique<tSystemSMBIOSSource>(std::move(tablesDir), std::move(memoryDevice));
}

std::unique_ptr<ISMBIOSSource> SystemSMBIOSSource() {
  return SMBIOSSourceAt("/sys/firmware/dmi/tables", "/dev/mem");
}
