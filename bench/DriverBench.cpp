// The cost of one request to the driver process: a register read and a PCI configuration read
// over the socket pair to a driver process (a child serving in-memory hardware, so that only
// the way there and back is measured), beside the same reads from the device in the program.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "device/ControlDevice.h"
#include "driver/RequestServer.h"
#include "hw/DriverProcess.h"
#include "hw/DrvInterface.h"
#include "protocol/MsrReads.h"
#include "protocol/RequestMessage.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

std::shared_ptr<cFakeDeviceBackend> Hardware() {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  backend->Msrs[kMsrEblCrPoweron] = 0x00C00000;
  backend->Ports[kPciConfigData] = 0x27D88086;
  return backend;
}

// The driver process, started once for every benchmark of the run.
std::shared_ptr<cDrvIface> processDriver;

void ReadRegister(benchmark::State& state, cDrvIface& driver) {
  tMSRValue value;
  for (auto _ : state) {
    driver.ReadMsrValue(kMsrEblCrPoweron, value);
    benchmark::DoNotOptimize(value);
  }
}

void ReadPciConfiguration(benchmark::State& state, cDrvIface& driver) {
  for (auto _ : state) {
    driver.WritePortDword(kPciConfigAddress, 0x80000000);
    benchmark::DoNotOptimize(driver.ReadPortDword(kPciConfigData));
  }
}

void BM_RegisterReadDriverProcess(benchmark::State& state) {
  ReadRegister(state, *processDriver);
}
BENCHMARK(BM_RegisterReadDriverProcess)->Unit(benchmark::kMicrosecond);

void BM_RegisterReadInProgram(benchmark::State& state) {
  cDrvIface driver(std::make_shared<cControlDevice>(Hardware()));
  ReadRegister(state, driver);
}
BENCHMARK(BM_RegisterReadInProgram)->Unit(benchmark::kMicrosecond);

// Two requests: the address, then the data.
void BM_PciConfigurationReadDriverProcess(benchmark::State& state) {
  ReadPciConfiguration(state, *processDriver);
}
BENCHMARK(BM_PciConfigurationReadDriverProcess)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return 1;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    close(ends[0]);
    cRequestServer server(
        std::make_shared<cControlDevice>(Hardware()),
        [](std::vector<std::uint8_t>&, std::vector<std::uint8_t>&) { return false; },
        [](std::uint32_t) {});
    _exit(ServeClient(ends[1], server));
  }
  close(ends[1]);
  std::uint8_t greeting[64];
  if (recv(ends[0], greeting, sizeof greeting, 0) <= 0) return 1;
  processDriver = std::make_shared<cDrvIface>(std::make_shared<cDriverConnection>(ends[0], child));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  processDriver.reset();  // the child sees the end of its input and exits
  return 0;
}
