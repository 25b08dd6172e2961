// The driver interface: the requests each operation sends, the failed checks it reports,
// behaviour without a device, and deployment through the loader.
#include "hw/DrvInterface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hw/LLDrv.h"
#include "hw/VXLDrv.h"
#include "protocol/CmnTnC.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

using tBytes = std::vector<std::uint8_t>;

// Passes requests on to the real device over a fake backend, records them, and can report a
// byte count other than the device's.
class cRecordingDevice : public IControlDevice {
 public:
  struct tSent {
    std::uint32_t Code;
    tBytes In;
    std::uint32_t OutLength;
    friend bool operator==(const tSent&, const tSent&) = default;
  };

  tDeviceStatus Control(std::uint32_t code, const void* in, std::uint32_t inLength, void* out,
                        std::uint32_t outLength, std::uint32_t& returned) override {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    Sent.push_back({code, tBytes(bytes, bytes + inLength), outLength});
    const tDeviceStatus status = device_.Control(code, in, inLength, out, outLength, returned);
    returned += ExtraReturned;
    return status;
  }

  std::shared_ptr<cFakeDeviceBackend> Backend = std::make_shared<cFakeDeviceBackend>();
  std::vector<tSent> Sent;
  std::uint32_t ExtraReturned = 0;

 private:
  cControlDevice device_{Backend, AllowEverything};
};

struct tDriverWithFake {
  std::shared_ptr<cRecordingDevice> device = std::make_shared<cRecordingDevice>();
  cDrvIface iface{device};
};

TEST(DrvInterface, EachOperationSendsItsCodeAndBytes) {
  tDriverWithFake driver;
  driver.device->Backend->Msrs[0x2A] = 0;
  cDrvIface& d = driver.iface;
  struct {
    std::function<void()> call;
    cRecordingDevice::tSent sent;
  } const rows[] = {
      {[&] { d.ReadPortDword(0xCFC); }, {IOCTL_READ_PORT_DWORD, {0xFC, 0x0C, 0, 0}, 4}},
      {[&] { d.ReadPortWord(0x1F0); }, {IOCTL_READ_PORT_WORD, {0xF0, 0x01, 0, 0}, 2}},
      {[&] { d.ReadPortByte(0x80); }, {IOCTL_READ_PORT_BYTE, {0x80, 0, 0, 0}, 1}},
      {[&] { d.WritePortDword(0xCF8, 0x8000FF0C); },
       {IOCTL_WRITE_PORT_DWORD, {0xF8, 0x0C, 0, 0, 0x0C, 0xFF, 0x00, 0x80}, 0}},
      {[&] { d.WritePortWord(0x70, 0xBEEF); },
       {IOCTL_WRITE_PORT_WORD, {0x70, 0, 0, 0, 0xEF, 0xBE, 0, 0}, 0}},
      {[&] { d.WritePortByte(0x71, 0x5A); },
       {IOCTL_WRITE_PORT_BYTE, {0x71, 0, 0, 0, 0x5A, 0, 0, 0}, 0}},
      {[&] {
         tMSRValue v;
         d.ReadMsrValue(0xC0010015, v);
       },
       {IOCTL_READ_MSR, {0x15, 0x00, 0x01, 0xC0}, 8}},
      // Index, then the low half, then the high half.
      {[&] { d.WriteMsrValue(0x2A, {.High = 0x01020304, .Low = 0x05060708}); },
       {IOCTL_WRITE_MSR, {0x2A, 0, 0, 0, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << row.sent.Code);
    driver.device->Sent.clear();
    row.call();
    EXPECT_EQ(driver.device->Sent, std::vector<cRecordingDevice::tSent>{row.sent});
  }
}

TEST(DrvInterface, RefusedRegisterRequestsReportFalseWithoutRaising) {
  tDriverWithFake driver;
  tMSRValue value{.High = 1, .Low = 2};
  EXPECT_FALSE(driver.iface.ReadMsrValue(0x10, value));  // no such register
  EXPECT_EQ(value, tMSRValue{});
  driver.device->Backend->FailAll = true;
  EXPECT_FALSE(driver.iface.WriteMsrValue(0x10, {.High = 0, .Low = 1}));
}

TEST(DrvInterface, RefusedPortRequestsRaiseTheAssertionOfTheirLine) {
  struct {
    std::function<void(cDrvIface&)> call;
    bool wrongCount;  // the device succeeds but returns one byte too many
    int line;
  } const rows[] = {
      {[](cDrvIface& d) { d.ReadPortDword(0x60); }, false, 20},
      {[](cDrvIface& d) { d.ReadPortDword(0x60); }, true, 21},
      {[](cDrvIface& d) { d.ReadPortWord(0x60); }, false, 44},
      {[](cDrvIface& d) { d.ReadPortWord(0x60); }, true, 45},
      {[](cDrvIface& d) { d.ReadPortByte(0x60); }, false, 68},
      {[](cDrvIface& d) { d.ReadPortByte(0x60); }, true, 69},
      {[](cDrvIface& d) { d.WritePortDword(0x60, 1); }, false, 100},
      {[](cDrvIface& d) { d.WritePortWord(0x60, 1); }, false, 130},
      {[](cDrvIface& d) { d.WritePortByte(0x60, 1); }, false, 160},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    tDriverWithFake driver;
    driver.device->Backend->FailAll = !row.wrongCount;
    driver.device->ExtraReturned = row.wrongCount ? 1 : 0;
    try {
      row.call(driver.iface);
      ADD_FAILURE() << "no assertion raised";
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(e.Message(), "Assertion failure");
      EXPECT_EQ(e.Source(), "VXLdrv\\WinNTMethods");
      EXPECT_EQ(e.Line(), row.line);
      EXPECT_EQ(std::string(e.what()),
                "Assertion failure (VXLdrv\\WinNTMethods, line " + std::to_string(row.line) + ")");
    }
  }
}

TEST(DrvInterface, WithoutADeviceReadsAreZeroWritesAreDroppedRegistersFail) {
  cDrvIface iface{tDeviceHandle{}};
  EXPECT_FALSE(iface.Loaded);
  EXPECT_FALSE(iface.StopResult);
  EXPECT_EQ(iface.ReadPortDword(0xCFC), 0u);
  EXPECT_EQ(iface.ReadPortWord(0xCFC), 0u);
  EXPECT_EQ(iface.ReadPortByte(0xCFC), 0u);
  EXPECT_NO_THROW(iface.WritePortDword(0xCF8, 1));
  tMSRValue value{.High = 5, .Low = 6};
  EXPECT_FALSE(iface.ReadMsrValue(0x2A, value));
  EXPECT_EQ(value, tMSRValue{});
  EXPECT_FALSE(iface.WriteMsrValue(0x2A, value));

  // A device that is present but not loaded is not used either.
  tDriverWithFake driver;
  driver.iface.Loaded = false;
  EXPECT_EQ(driver.iface.ReadPortByte(0x80), 0u);
  EXPECT_FALSE(driver.iface.WriteMsrValue(0x2A, value));
  EXPECT_TRUE(driver.device->Sent.empty());
}

// Deployment over a folder of stand-in devices: only the open of the register device decides,
// and inside a virtual machine nothing is opened.
TEST(Deployment, LoadedWhenTheRegisterDeviceOpensOutsideAVirtualMachine) {
  tDeviceFolder devices;
  const auto ports = std::make_shared<cFakePortInstructions>();
  ports->Refuse = true;  // an unprivileged process
  const auto loader = [&](bool inVirtualMachine) {
    return std::make_unique<cLLDrv>(
        devices.Root(), inVirtualMachine ? +[] { return true; } : +[] { return false; }, ports,
        cLLDrv::tPlacement::InProcess);
  };
  EXPECT_FALSE(cDrvIface(loader(false)).Loaded);

  devices.AddMsrs(0x2A, 0x44434241'34333231);
  EXPECT_FALSE(cDrvIface(loader(true)).Loaded);
  cDrvIface loaded(loader(false));
  EXPECT_TRUE(loaded.Loaded);
  EXPECT_FALSE(loaded.StopResult);
  tMSRValue value;
  EXPECT_TRUE(loaded.ReadMsrValue(0x2A, value));
  EXPECT_EQ(value, (tMSRValue{.High = 0x44434241, .Low = 0x34333231}));
  // The device in this process answers what the program asks for, and nothing more.
  EXPECT_FALSE(loaded.WriteMsrValue(0x2A, value));
  EXPECT_EQ(tDeviceFolder::Get(devices.Msr(0), 0x2A), 0x44434241'34333231u);
  // No port permission: the loaded device refuses port requests.
  EXPECT_THROW(loaded.ReadPortDword(0xCFC), EAssertionFailed);

  const auto inside = loader(true);
  EXPECT_FALSE(inside->InstallDriver());
  EXPECT_EQ(inside->DeviceHandle, nullptr);
  const auto outside = loader(false);
  EXPECT_EQ(outside->DeviceHandle, nullptr);
  EXPECT_TRUE(outside->OpenDevice());
  EXPECT_NE(outside->DeviceHandle, nullptr);
}

// Without root the driver runs as a process of its own: whether it started decides, and inside a
// virtual machine nothing is started.
TEST(Deployment, SeparatelyLoadedWhenTheDriverProcessStarts) {
  int starts = 0;
  const auto device = std::make_shared<cRecordingDevice>();
  const auto loader = [&](bool inVirtualMachine, tDeviceHandle started) {
    return std::make_unique<cLLDrv>(
        "/nonexistent", inVirtualMachine ? +[] { return true; } : +[] { return false; },
        std::make_shared<cFakePortInstructions>(), cLLDrv::tPlacement::SeparateProcess,
        [&starts, started] {
          ++starts;
          return started;
        });
  };
  EXPECT_FALSE(cDrvIface(loader(false, nullptr)).Loaded);  // declined, or no polkit
  EXPECT_EQ(starts, 1);
  EXPECT_FALSE(cDrvIface(loader(true, device)).Loaded);
  EXPECT_EQ(starts, 1);

  cDrvIface loaded(loader(false, device));
  EXPECT_TRUE(loaded.Loaded);
  tMSRValue value;
  loaded.ReadMsrValue(0x2C, value);
  EXPECT_EQ(device->Sent.size(), 1u);
}

}  // namespace
