// Test support: the driver process over in-memory registers and ports, for tests that start
// the driver the way the program does. It serves the socket on its standard input with the
// driver's own server and allow-list; only the hardware is fake. With --answers N it answers
// N device requests and then ends, as a driver that is killed does.
// Usage: lumarian-driver-fake [--msr INDEX=VALUE]... [--smbios ENTRY-FILE TABLE-FILE]
//                             [--answers N]
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/ControlDevice.h"
#include "driver/Privileges.h"
#include "driver/RequestServer.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(file), {});
  return static_cast<bool>(file) || file.eof();
}

int Usage() {
  std::fputs(
      "usage: lumarian-driver-fake [--msr INDEX=VALUE]... [--smbios ENTRY TABLE] [--answers N]\n",
      stderr);
  return 2;
}

// Passes `left` requests to `device`, then ends the process before answering the next.
class tMortalDevice final : public IControlDevice {
 public:
  tMortalDevice(std::shared_ptr<IControlDevice> device, long left)
      : device_(std::move(device)), left_(left) {}
  tDeviceStatus Control(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                        std::uint32_t outLength, std::uint32_t& returned) override {
    if (left_ >= 0 && left_-- == 0) std::_Exit(0);
    return device_->Control(code, in, inLength, out, outLength, returned);
  }

 private:
  std::shared_ptr<IControlDevice> device_;
  long left_;
};

}  // namespace

int main(int argc, char** argv) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  std::string entryFile, tableFile;
  long answers = -1;  // every request
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--msr" && i + 1 < argc) {
      const std::string row = argv[++i];
      const std::size_t equals = row.find('=');
      if (equals == std::string::npos) return Usage();
      backend->Msrs[static_cast<std::uint32_t>(std::stoul(row.substr(0, equals), nullptr, 0))] =
          std::stoull(row.substr(equals + 1), nullptr, 0);
    } else if (arg == "--answers" && i + 1 < argc) {
      answers = std::stol(argv[++i]);
    } else if (arg == "--smbios" && i + 2 < argc) {
      entryFile = argv[++i];
      tableFile = argv[++i];
    } else {
      return Usage();
    }
  }
  if (!IsDriverSocket(STDIN_FILENO)) return Usage();

  cRequestServer server(
      std::make_shared<tMortalDevice>(std::make_shared<cControlDevice>(backend), answers),
      [&](std::vector<std::uint8_t>& entryPoint, std::vector<std::uint8_t>& table) {
        return !entryFile.empty() && ReadFile(entryFile, entryPoint) && ReadFile(tableFile, table);
      },
      [](std::uint32_t) {});
  return ServeClient(STDIN_FILENO, server);
}
