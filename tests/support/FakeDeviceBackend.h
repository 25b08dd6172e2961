// Test support: in-memory ports and model-specific registers behind the hardware-access
// device, recording every request; port instructions that record what they execute; and a
// folder of plain files standing in for the system's register devices.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "device/AllowList.h"
#include "device/DeviceBackend.h"
#include "device/PortInstructions.h"

// A device policy that performs every request: for tests of the protocol itself.
inline bool AllowEverything(tRequestKind, std::uint32_t, unsigned) {
  return true;
}

struct tFakeRequest {
  static constexpr tRequestKind PortRead = tRequestKind::PortRead;
  static constexpr tRequestKind PortWrite = tRequestKind::PortWrite;
  static constexpr tRequestKind MsrRead = tRequestKind::MsrRead;
  static constexpr tRequestKind MsrWrite = tRequestKind::MsrWrite;
  tRequestKind Kind;
  std::uint32_t Address;  // port or register index
  unsigned Width;         // bytes of a port access; 8 for registers
  std::uint64_t Value;    // value written; 0 for reads

  friend bool operator==(const tFakeRequest&, const tFakeRequest&) = default;
};

// Each port is one register: a write of width w keeps the value's low w bytes, a read of
// width w answers the low w bytes of what the port holds; a port never written answers all
// ones, as an idle bus does. A register never written does not exist and fails.
class cFakeDeviceBackend : public IDeviceBackend {
 public:
  std::map<std::uint16_t, std::uint32_t> Ports;
  std::map<std::uint32_t, std::uint64_t> Msrs;
  std::vector<tFakeRequest> Requests;
  bool FailAll = false;  // every request fails (and is still recorded)

  bool ReadPort(std::uint16_t port, unsigned width, std::uint32_t& value) override {
    Requests.push_back({tFakeRequest::PortRead, port, width, 0});
    if (FailAll) return false;
    const auto found = Ports.find(port);
    value = (found == Ports.end() ? 0xFFFFFFFFu : found->second) & Mask(width);
    return true;
  }
  bool WritePort(std::uint16_t port, unsigned width, std::uint32_t value) override {
    Requests.push_back({tFakeRequest::PortWrite, port, width, value});
    if (FailAll) return false;
    Ports[port] = value & Mask(width);
    return true;
  }
  bool ReadMsr(std::uint32_t index, std::uint64_t& value) override {
    Requests.push_back({tFakeRequest::MsrRead, index, 8, 0});
    const auto found = Msrs.find(index);
    if (FailAll || found == Msrs.end()) return false;
    value = found->second;
    return true;
  }
  bool WriteMsr(std::uint32_t index, std::uint64_t value) override {
    Requests.push_back({tFakeRequest::MsrWrite, index, 8, value});
    if (FailAll) return false;
    Msrs[index] = value;
    return true;
  }

 private:
  static std::uint32_t Mask(unsigned width) {
    return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
  }
};

// Port instructions over in-memory ports (all ones where nothing was written), recording
// every permission change and every instruction, in order.
class cFakePortInstructions : public IPortInstructions {
 public:
  struct tStep {
    enum tKind { Grant, Revoke, In, Out };
    tKind Kind;
    std::uint16_t Port;
    unsigned Width;       // ports granted or revoked, or bytes of the instruction
    std::uint32_t Value;  // value written; 0 otherwise

    friend bool operator==(const tStep&, const tStep&) = default;
  };

  std::map<std::uint16_t, std::uint32_t> Ports;
  std::vector<tStep> Steps;
  bool Refuse = false;  // the process may not have port access

  bool Permit(std::uint16_t first, unsigned count, bool on) override {
    Steps.push_back({on ? tStep::Grant : tStep::Revoke, first, count, 0});
    return !Refuse;
  }
  std::uint32_t In(std::uint16_t port, unsigned width) override {
    Steps.push_back({tStep::In, port, width, 0});
    const auto found = Ports.find(port);
    const std::uint32_t mask = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
    return (found == Ports.end() ? 0xFFFFFFFFu : found->second) & mask;
  }
  void Out(std::uint16_t port, unsigned width, std::uint32_t value) override {
    Steps.push_back({tStep::Out, port, width, value});
    Ports[port] = value;
  }
};

// A temporary folder laid out like /dev: "cpu/N/msr" as plain files, removed with the object.
class tDeviceFolder {
 public:
  tDeviceFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumarian-dev-XXXXXX");
    root_ = mkdtemp(pattern.data());
  }
  ~tDeviceFolder() { std::filesystem::remove_all(root_); }
  tDeviceFolder(const tDeviceFolder&) = delete;
  tDeviceFolder& operator=(const tDeviceFolder&) = delete;

  std::string Root() const { return root_.string(); }
  std::filesystem::path Msr(int cpu) const { return root_ / "cpu" / std::to_string(cpu) / "msr"; }

  // One register device per configured processor, each holding `value` at `index`.
  void AddMsrs(std::uint32_t index = 0, std::uint64_t value = 0) const {
    for (int cpu = 0; cpu < get_nprocs_conf(); ++cpu) {
      std::filesystem::create_directories(Msr(cpu).parent_path());
      Put(Msr(cpu), index, &value, sizeof value);
    }
  }

  static bool Put(const std::filesystem::path& file, std::uint64_t offset, const void* bytes,
                  std::size_t count) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT, 0600);
    if (fd < 0) return false;
    const bool ok =
        pwrite64(fd, bytes, count, static_cast<off64_t>(offset)) == static_cast<ssize_t>(count);
    close(fd);
    return ok;
  }
  static std::uint64_t Get(const std::filesystem::path& file, std::uint64_t offset) {
    std::uint64_t value = 0;
    const int fd = open(file.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    if (pread64(fd, &value, sizeof value, static_cast<off64_t>(offset)) < 0) value = 0;
    close(fd);
    return value;
  }

 private:
  std::filesystem::path root_;
};
