// PCI configuration access and the port and register accessors, through the driver
// interface and the device down to in-memory ports and registers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "device/ControlDevice.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

using R = tFakeRequest;
using tRequests = std::vector<tFakeRequest>;

// Puts `iface` in DriverInterface for the life of the object.
class tInstalledInterface {
 public:
  explicit tInstalledInterface(std::shared_ptr<cDrvIface> iface)
      : saved_(std::exchange(DriverInterface, std::move(iface))) {}
  ~tInstalledInterface() { DriverInterface = saved_; }

 private:
  std::shared_ptr<cDrvIface> saved_;
};

class HardwareAccess : public ::testing::Test {
 protected:
  std::shared_ptr<cFakeDeviceBackend> backend_ = std::make_shared<cFakeDeviceBackend>();
  tInstalledInterface installed_{
      std::make_shared<cDrvIface>(std::make_shared<cControlDevice>(backend_, AllowEverything))};
  tVXLDrv access_;
};

TEST_F(HardwareAccess, ConfigAddressCarriesBusDeviceFunctionAndTheRegistersDoubleWord) {
  struct {
    std::uint8_t bus, device, function, reg;
    std::uint32_t address;
  } const rows[] = {
      {0, 0, 0, 0, 0x80000000},          {0, 0x1F, 7, 0x0E, 0x8000FF0C},
      {0xFF, 0x1F, 7, 0xFF, 0x80FFFFFC}, {1, 2, 3, 0x40, 0x80011340},
      {0, 0x20, 8, 0, 0x80000000},        // device 32 and function 8 wrap to 0
      {0, 0x3F, 0x0F, 0, 0x8000FF00},     // device 63 wraps to 31, function 15 to 7
      {2, 0xFF, 0x0F, 0x03, 0x8002FF00},  // register bits 1..0 never reach the address
  };
  for (const auto& row : rows) {
    backend_->Requests.clear();
    std::uint32_t value = 0;
    access_.PCIIO->ReadConfigDword(row.bus, row.device, row.function, row.reg, value);
    EXPECT_EQ(backend_->Requests,
              (tRequests{{R::PortWrite, 0xCF8, 4, row.address}, {R::PortRead, 0xCFC, 4, 0}}))
        << std::hex << row.address;
  }
  backend_->Requests.clear();
  access_.PCIIO->WriteConfigDword(3, 4, 5, 0x10, 0xFEEDF00D);
  EXPECT_EQ(backend_->Requests, (tRequests{{R::PortWrite, 0xCF8, 4, 0x80032510},
                                           {R::PortWrite, 0xCFC, 4, 0xFEEDF00D}}));
}

TEST_F(HardwareAccess, ConfigByteAccessesPickAndMergeTheirByteOfTheDoubleWord) {
  const std::uint8_t bytes[] = {0xD4, 0xC3, 0xB2, 0xA1};
  const std::uint32_t merged[] = {0xA1B2C355, 0xA1B255D4, 0xA155C3D4, 0x55B2C3D4};
  for (std::uint8_t lane = 0; lane < 4; ++lane) {
    SCOPED_TRACE(lane);
    const auto reg = static_cast<std::uint8_t>(0x0C + lane);
    backend_->Ports[0xCFC] = 0xA1B2C3D4;
    std::uint8_t value = 0;
    access_.PCIIO->ReadConfigByte(0, 0x1F, 7, reg, value);
    EXPECT_EQ(value, bytes[lane]);

    // The address port is written once, before the read; the data write follows directly.
    backend_->Requests.clear();
    access_.PCIIO->WriteConfigByte(0, 0x1F, 7, reg, 0x55);
    EXPECT_EQ(backend_->Requests, (tRequests{{R::PortWrite, 0xCF8, 4, 0x8000FF0C},
                                             {R::PortRead, 0xCFC, 4, 0},
                                             {R::PortWrite, 0xCFC, 4, merged[lane]}}));
  }
}

TEST_F(HardwareAccess, DevicePresentUnlessItsFirstDoubleWordIsAllOnesOrZero) {
  struct {
    std::uint32_t id;
    bool present;
  } const rows[] = {{0xFFFFFFFF, false}, {0, false}, {0x71908086, true}, {0xFFFF0000, true}};
  for (const auto& row : rows) {
    backend_->Ports[0xCFC] = row.id;
    backend_->Requests.clear();
    EXPECT_EQ(access_.PCIIO->DevicePresent(4, 0x3F), row.present) << std::hex << row.id;
    EXPECT_EQ(backend_->Requests.front(), (R{R::PortWrite, 0xCF8, 4, 0x8004F800}));
  }
}

TEST_F(HardwareAccess, PortsAndRegistersReachTheDevice) {
  backend_->Ports[0xCFC] = 0x12345678;
  backend_->Msrs[0x2A] = 0x00000001'C0000000;
  EXPECT_EQ(access_.PortIO->ReadWord(0xCFC), 0x5678);
  access_.PortIO->WriteByte(0x80, 0x42);
  EXPECT_EQ(access_.PortIO->ReadByte(0x80), 0x42);
  access_.PortIO->WriteWord(0x70, 0xBEEF);
  EXPECT_EQ(access_.PortIO->ReadDword(0x70), 0xBEEFu);
  EXPECT_EQ(backend_->Requests, (tRequests{{R::PortRead, 0xCFC, 2, 0},
                                           {R::PortWrite, 0x80, 1, 0x42},
                                           {R::PortRead, 0x80, 1, 0},
                                           {R::PortWrite, 0x70, 2, 0xBEEF},
                                           {R::PortRead, 0x70, 4, 0}}));

  tMSRValue msr;
  ASSERT_TRUE(access_.MSRIO->ReadMSR(0x2A, msr));
  EXPECT_EQ(msr, (tMSRValue{.High = 1, .Low = 0xC0000000}));
  EXPECT_TRUE(access_.MSRIO->WriteMSR(0x2C, {.High = 2, .Low = 3}));
  EXPECT_EQ(backend_->Msrs[0x2C], 0x00000002'00000003u);

  // A port request the device refuses surfaces as the assertion of its routine.
  backend_->FailAll = true;
  EXPECT_THROW(access_.PortIO->WriteDword(0xCF8, 0), EAssertionFailed);
  EXPECT_FALSE(access_.MSRIO->ReadMSR(0x2A, msr));
}

TEST(Accessors, WithoutADriverInterfaceReadZeroAndFail) {
  tInstalledInterface installed(nullptr);
  tVXLDrv access;
  EXPECT_EQ(access.PortIO->ReadDword(0xCFC), 0u);
  EXPECT_EQ(access.PortIO->ReadWord(0xCFC), 0u);
  EXPECT_EQ(access.PortIO->ReadByte(0xCFC), 0u);
  access.PortIO->WriteDword(0xCF8, 0x80000000);
  tMSRValue msr{.High = 3, .Low = 4};
  EXPECT_FALSE(access.MSRIO->ReadMSR(0x2A, msr));
  EXPECT_FALSE(access.MSRIO->WriteMSR(0x2A, msr));
  EXPECT_FALSE(access.PCIIO->DevicePresent(0, 0));
}

TEST(Accessors, OpenDriverOnThisMachineFindsNoRegisterDevice) {
  if (access("/dev/cpu/0/msr", F_OK) == 0) GTEST_SKIP() << "this machine has a register device";
  if (geteuid() == 0) GTEST_SKIP() << "as root, opening the driver would load the msr module";
  tInstalledInterface installed(nullptr);
  tVXLDrv access;
  EXPECT_FALSE(access.OpenDriver());
  ASSERT_NE(DriverInterface, nullptr);  // created, not loaded
  EXPECT_FALSE(DriverInterface->Loaded);
  tMSRValue msr{.High = 3, .Low = 4};
  EXPECT_FALSE(access.MSRIO->ReadMSR(0x2A, msr));
  EXPECT_EQ(msr, tMSRValue{});
  EXPECT_EQ(access.PortIO->ReadDword(0xCFC), 0u);
}

}  // namespace
