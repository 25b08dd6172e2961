// The system backend: ports at their offset in the port device, registers at their index in
// the register device of the calling thread's processor. Plain files stand in for the
// devices; missing devices, as on this machine, fail every request cleanly.
#include "driver/SystemBackend.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cstdint>
#include <thread>

#include "tests/support/FakeDeviceBackend.h"

namespace {

TEST(SystemBackend, PortsAndRegistersAreReadAndWrittenAtTheirOffsets) {
  tDeviceFolder devices;
  devices.AddPort();
  devices.AddMsrs(0xC0010042, 0x0000000F'12345678);
  const std::uint8_t bytes[] = {0x0D, 0x0C, 0x0B, 0x0A};
  ASSERT_TRUE(tDeviceFolder::Put(devices.Port(), 0xCFC, bytes, sizeof bytes));

  // On one processor, so the register written is the one looked at.
  std::thread([&] {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);

    cSystemBackend backend(devices.Root());
    ASSERT_TRUE(backend.Open());
    std::uint32_t port = 0;
    ASSERT_TRUE(backend.ReadPort(0xCFC, 4, port));
    EXPECT_EQ(port, 0x0A0B0C0Du);
    ASSERT_TRUE(backend.ReadPort(0xCFD, 2, port));
    EXPECT_EQ(port, 0x0B0Cu);
    ASSERT_TRUE(backend.WritePort(0x80, 2, 0x11223344));
    EXPECT_EQ(tDeviceFolder::Get(devices.Port(), 0x80), 0x3344u);  // the low 2 bytes only
    EXPECT_FALSE(backend.ReadPort(0x80, 3, port));

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

TEST(SystemBackend, MissingDevicesFailEveryRequest) {
  tDeviceFolder registersOnly;
  registersOnly.AddMsrs();
  cSystemBackend noPorts(registersOnly.Root());
  EXPECT_TRUE(noPorts.Open());  // the register device alone decides
  std::uint32_t port = 9;
  EXPECT_FALSE(noPorts.ReadPort(0x80, 1, port));
  EXPECT_FALSE(noPorts.WritePort(0x80, 1, 0));

  tDeviceFolder empty;
  const bool thisMachineHasNone =
      access("/dev/port", F_OK) != 0 && access("/dev/cpu/0/msr", F_OK) != 0;
  for (const std::string& root : {empty.Root(), empty.Root() + "/absent", std::string("/dev")}) {
    if (root == "/dev" && !thisMachineHasNone) continue;
    SCOPED_TRACE(root);
    cSystemBackend backend(root);
    EXPECT_FALSE(backend.Open());
    std::uint64_t msr = 9;
    EXPECT_FALSE(backend.ReadPort(0x80, 1, port));
    EXPECT_FALSE(backend.WritePort(0x80, 4, 1));
    EXPECT_FALSE(backend.ReadMsr(0x10, msr));
    EXPECT_FALSE(backend.WriteMsr(0x10, 1));
    EXPECT_EQ(port, 9u);
    EXPECT_EQ(msr, 9u);
  }
}

}  // namespace
