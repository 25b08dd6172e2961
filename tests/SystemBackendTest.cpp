// The system backend: a port access is one instruction of its width on ports permitted for it
// alone; registers are read and written at their index in the register device of the calling
// thread's processor. Plain files stand in for the register devices; missing devices, as on
// this machine, fail every request cleanly.
#include "device/SystemBackend.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "device/ControlDevice.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

using tStep = cFakePortInstructions::tStep;
using tSteps = std::vector<tStep>;

TEST(SystemBackend, EachPortAccessIsOneInstructionOfItsWidthOnPortsPermittedForItAlone) {
  struct tCase {
    const char* What;
    std::function<bool(cSystemBackend&, std::uint32_t&)> Access;
    std::uint32_t Value;  // read
    tSteps Steps;
  };
  const tCase cases[] = {
      {"byte read",
       [](cSystemBackend& b, std::uint32_t& v) { return b.ReadPort(0x71, 1, v); },
       0xD4,
       {{tStep::Grant, 0x71, 1, 0}, {tStep::In, 0x71, 1, 0}, {tStep::Revoke, 0x71, 1, 0}}},
      {"word read",
       [](cSystemBackend& b, std::uint32_t& v) { return b.ReadPort(0xCFE, 2, v); },
       0xFFFF,
       {{tStep::Grant, 0xCFE, 2, 0}, {tStep::In, 0xCFE, 2, 0}, {tStep::Revoke, 0xCFE, 2, 0}}},
      {"dword read",
       [](cSystemBackend& b, std::uint32_t& v) { return b.ReadPort(0xCFC, 4, v); },
       0xA1B2C3D4,
       {{tStep::Grant, 0xCFC, 4, 0}, {tStep::In, 0xCFC, 4, 0}, {tStep::Revoke, 0xCFC, 4, 0}}},
      {"byte write",
       [](cSystemBackend& b, std::uint32_t&) { return b.WritePort(0x80, 1, 0x42); },
       0,
       {{tStep::Grant, 0x80, 1, 0}, {tStep::Out, 0x80, 1, 0x42}, {tStep::Revoke, 0x80, 1, 0}}},
      {"word write",
       [](cSystemBackend& b, std::uint32_t&) { return b.WritePort(0x70, 2, 0xBEEF); },
       0,
       {{tStep::Grant, 0x70, 2, 0}, {tStep::Out, 0x70, 2, 0xBEEF}, {tStep::Revoke, 0x70, 2, 0}}},
      // The configuration address is one double word on 0xCF8: 0xCF9, the reset control
      // register of many chipsets, is never written by it.
      {"dword write",
       [](cSystemBackend& b, std::uint32_t&) { return b.WritePort(0xCF8, 4, 0x8000FF0C); },
       0,
       {{tStep::Grant, 0xCF8, 4, 0},
        {tStep::Out, 0xCF8, 4, 0x8000FF0C},
        {tStep::Revoke, 0xCF8, 4, 0}}},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.What);
    auto ports = std::make_shared<cFakePortInstructions>();
    ports->Ports = {{0x71, 0xD4}, {0xCFC, 0xA1B2C3D4}};
    cSystemBackend backend("/nonexistent", ports);
    std::uint32_t value = 0;
    EXPECT_TRUE(c.Access(backend, value));
    EXPECT_EQ(value, c.Value);
    EXPECT_EQ(ports->Steps, c.Steps);
  }
}

TEST(SystemBackend, PortAccessesWithoutPermissionOrOutsideThePortsExecuteNothing) {
  auto ports = std::make_shared<cFakePortInstructions>();
  cSystemBackend backend("/nonexistent", ports);
  std::uint32_t value = 9;
  EXPECT_FALSE(backend.ReadPort(0x80, 3, value));
  EXPECT_FALSE(backend.WritePort(0x80, 8, 1));
  EXPECT_FALSE(backend.ReadPort(0xFFFE, 4, value));  // would run past port 0xFFFF
  EXPECT_FALSE(backend.WritePort(0xFFFF, 2, 1));
  EXPECT_TRUE(ports->Steps.empty());

  ports->Refuse = true;
  EXPECT_FALSE(backend.ReadPort(0x80, 1, value));
  EXPECT_FALSE(backend.WritePort(0xCF8, 4, 0x80000000));
  EXPECT_EQ(ports->Steps, (tSteps{{tStep::Grant, 0x80, 1, 0}, {tStep::Grant, 0xCF8, 4, 0}}));
  EXPECT_EQ(value, 9u);
}

TEST(SystemBackend, PciConfigurationReadsOneDoubleWordEachFromTheAddressAndDataPorts) {
  auto ports = std::make_shared<cFakePortInstructions>();
  ports->Ports[0xCFC] = 0x27D88086;
  const auto saved =
      std::exchange(DriverInterface, std::make_shared<cDrvIface>(std::make_shared<cControlDevice>(
                                         std::make_shared<cSystemBackend>("/nonexistent", ports))));
  tVXLDrv access;
  std::uint32_t id = 0;
  access.PCIIO->ReadConfigDword(0, 0x1F, 7, 0x0E, id);
  DriverInterface = saved;
  EXPECT_EQ(id, 0x27D88086u);
  EXPECT_EQ(ports->Steps, (tSteps{{tStep::Grant, 0xCF8, 4, 0},
                                  {tStep::Out, 0xCF8, 4, 0x8000FF0C},
                                  {tStep::Revoke, 0xCF8, 4, 0},
                                  {tStep::Grant, 0xCFC, 4, 0},
                                  {tStep::In, 0xCFC, 4, 0},
                                  {tStep::Revoke, 0xCFC, 4, 0}}));

  // Without permission the port request fails as a refused request of the device does.
  ports->Refuse = true;
  cDrvIface refused(
      std::make_shared<cControlDevice>(std::make_shared<cSystemBackend>("/nonexistent", ports)));
  EXPECT_THROW(refused.WritePortDword(0xCF8, 0x80000000), EAssertionFailed);
}

TEST(SystemBackend, RegistersAreReadAndWrittenAtTheirIndex) {
  tDeviceFolder devices;
  devices.AddMsrs(0xC0010042, 0x0000000F'12345678);

  // On one processor, so the register written is the one looked at.
  std::thread([&] {
    const int here = sched_getcpu();
    cpu_set_t* one = CPU_ALLOC(here + 1);
    const std::size_t bytes = CPU_ALLOC_SIZE(here + 1);
    CPU_ZERO_S(bytes, one);
    CPU_SET_S(here, bytes, one);
    const int pinned = sched_setaffinity(0, bytes, one);
    CPU_FREE(one);
    ASSERT_EQ(pinned, 0);

    cSystemBackend backend(devices.Root(), std::make_shared<cFakePortInstructions>());
    ASSERT_TRUE(backend.Open());
    std::uint64_t msr = 0;
    ASSERT_TRUE(backend.ReadMsr(0xC0010042, msr));
    EXPECT_EQ(msr, 0x0000000F'12345678u);
    ASSERT_TRUE(backend.WriteMsr(0x2A, 0xAABBCCDD'00112233));
    EXPECT_EQ(tDeviceFolder::Get(devices.Msr(sched_getcpu()), 0x2A), 0xAABBCCDD'00112233u);
    msr = 7;
    EXPECT_FALSE(backend.ReadMsr(0xFFFFFFFF, msr));  // beyond what the device holds
    EXPECT_EQ(msr, 7u);
  }).join();
}

// True when this process may make a private mount namespace (root with CAP_SYS_ADMIN).
bool PrivateMountsWork() {
  const pid_t child = fork();
  if (child == 0) std::_Exit(unshare(CLONE_NEWNS) == 0 ? 0 : 1);
  int status = 1;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(SystemBackend, RegisterReadsOpenTheDeviceReadOnly) {
  if (!PrivateMountsWork()) GTEST_SKIP() << "needs a private mount namespace";
  tDeviceFolder devices;
  devices.AddMsrs(0x10, 0x0000000F'12345678);
  const std::string root = devices.Root();
  // On a read-only mount an open for writing fails whoever asks, root included.
  EXPECT_EXIT(
      {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(root.c_str(), root.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, root.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
          std::_Exit(2);
        cSystemBackend backend(root, std::make_shared<cFakePortInstructions>());
        std::uint64_t msr = 0;
        const bool read =
            backend.Open() && backend.ReadMsr(0x10, msr) && msr == 0x0000000F'12345678;
        std::_Exit(read && !backend.WriteMsr(0x10, 1) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SystemBackend, MissingRegisterDevicesFailEveryRegisterRequest) {
  tDeviceFolder empty;
  const bool thisMachineHasNone = access("/dev/cpu/0/msr", F_OK) != 0;
  for (const std::string& root : {empty.Root(), empty.Root() + "/absent", std::string("/dev")}) {
    if (root == "/dev" && !thisMachineHasNone) continue;
    SCOPED_TRACE(root);
    cSystemBackend backend(root, std::make_shared<cFakePortInstructions>());
    EXPECT_FALSE(backend.Open());
    std::uint64_t msr = 9;
    EXPECT_FALSE(backend.ReadMsr(0x10, msr));
    EXPECT_FALSE(backend.WriteMsr(0x10, 1));
    EXPECT_EQ(msr, 9u);
  }
}

}  // namespace
