// lumarian-driver: the privileged part of the program's hardware access. The program starts it
// through pkexec with one end of a socket pair on standard input; it answers that one client's
// requests (the register reads and PCI configuration accesses the program makes, and the
// firmware's SMBIOS tables) and exits when the client closes its end.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "device/ControlDevice.h"
#include "device/Modprobe.h"
#include "device/SystemBackend.h"
#include "driver/Privileges.h"
#include "driver/RequestServer.h"
#include "protocol/RequestMessage.h"
#include "smbios/get_dmi.h"

int main(int argc, char**) {
  if (argc > 1 || !IsDriverSocket(STDIN_FILENO)) {
    std::fputs(
        "lumarian-driver: serves the program lumarian, which starts it; not to be run by hand\n",
        stderr);
    return 2;
  }
  LoadMsrModule("/dev");
  KeepOnlyRawIo();

  auto backend = std::make_shared<cSystemBackend>();
  cRequestServer server(
      std::make_shared<cControlDevice>(backend),
      [](std::vector<std::uint8_t>& entryPoint, std::vector<std::uint8_t>& table) {
        return LocateSMBIOS(*SystemSMBIOSSource(), entryPoint, table);
      },
      [&backend](std::uint32_t processor) {
        backend->UseProcessor(processor == kAnyProcessor ? -1 : static_cast<int>(processor));
      });
  return ServeClient(STDIN_FILENO, server);
}
