// What the hardware-access device performs: the register reads the program's readers make and
// the PCI configuration reads, nothing else, whether it runs in the program or as the driver
// process.
#include "device/AllowList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "device/ControlDevice.h"
#include "engine/CPUid.h"
#include "hw/DrvInterface.h"
#include "hw/VXLDrv.h"
#include "protocol/CmnTnC.h"
#include "protocol/LittleEndian.h"
#include "protocol/MsrReads.h"
#include "tests/support/EngineFixtures.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

// Sends one request of `code` on `address` to the device with the program's allow-list.
tDeviceStatus Send(cControlDevice& device, std::uint32_t code, std::uint32_t address) {
  std::uint8_t in[12] = {};
  StoreLE(in, address, 4);
  std::uint8_t out[8] = {};
  std::uint32_t returned = 0;
  const bool write = code == IOCTL_WRITE_MSR || code == IOCTL_WRITE_PORT_BYTE ||
                     code == IOCTL_WRITE_PORT_WORD || code == IOCTL_WRITE_PORT_DWORD;
  const std::uint32_t inLength = code == IOCTL_WRITE_MSR ? 12 : write ? 8 : 4;
  return device.Control(code, in, inLength, out, write ? 0 : 8, returned);
}

TEST(AllowList, OnlyTheConfigurationPortsInTheirWidthsPass) {
  // The widths allowed, one bit per width (1, 2, 4 bytes), for reads and for writes: the
  // configuration address is written as a whole double word, configuration data only read.
  constexpr unsigned B = 1, W = 2, D = 4;
  struct {
    std::uint32_t port;
    unsigned reads, writes;
  } const rows[] = {
      {0x0000, 0, 0},     {0x0060, 0, 0},     {0x0070, 0, 0},
      {0x0080, 0, 0},     {0x00B2, 0, 0},  // the SMI command port
      {0x0CF7, 0, 0},     {0x0CF8, 0, D},  // address: whole double words, written only
      {0x0CF9, 0, 0},                      // the reset control register inside it
      {0x0CFA, 0, 0},     {0x0CFB, 0, 0},     {0x0CFC, B | W | D, 0},  // data: read only
      {0x0CFD, B | W, 0}, {0x0CFE, B | W, 0}, {0x0CFF, B, 0},
      {0x0D00, 0, 0},     {0x5658, 0, 0},                          // a hypervisor's port
      {0xFFFF, 0, 0},     {0x10CFC, 0, 0},    {0xFFFFFFFC, 0, 0},  // the ends of these wrap round
      {0xFFFFFFFD, 0, 0}, {0xFFFFFFFE, 0, 0}, {0xFFFFFFFF, 0, 0},
  };
  for (const auto& row : rows) {
    const struct {
      std::uint32_t read, write;
      unsigned width;
    } widths[] = {{IOCTL_READ_PORT_BYTE, IOCTL_WRITE_PORT_BYTE, B},
                  {IOCTL_READ_PORT_WORD, IOCTL_WRITE_PORT_WORD, W},
                  {IOCTL_READ_PORT_DWORD, IOCTL_WRITE_PORT_DWORD, D}};
    for (const auto& width : widths) {
      for (const std::uint32_t code : {width.read, width.write}) {
        const bool allowed = ((code == width.read ? row.reads : row.writes) & width.width) != 0;
        auto backend = std::make_shared<cFakeDeviceBackend>();
        cControlDevice device(backend);
        const tDeviceStatus status = Send(device, code, row.port);
        SCOPED_TRACE(::testing::Message() << std::hex << "port " << row.port << " code " << code);
        EXPECT_EQ(status, allowed ? tDeviceStatus::Success : tDeviceStatus::AccessDenied);
        EXPECT_EQ(backend->Requests.size(), allowed ? 1u : 0u);
        const tRequestKind kind =
            code == width.read ? tRequestKind::PortRead : tRequestKind::PortWrite;
        EXPECT_EQ(ProgramRequest(kind, row.port, width.width), allowed);
      }
    }
  }
}

TEST(AllowList, TheProgramReadsConfigurationSpaceAndItsWritesAreRefused) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  backend->Ports[0xCFC] = 0x27D88086;
  const auto saved = std::exchange(
      DriverInterface, std::make_shared<cDrvIface>(std::make_shared<cControlDevice>(backend)));
  tVXLDrv access;
  std::uint32_t id = 0;
  access.PCIIO->ReadConfigDword(0, 0x1F, 0, 0, id);
  EXPECT_EQ(id, 0x27D88086u);
  EXPECT_TRUE(access.PCIIO->DevicePresent(0, 0x1F));
  std::uint8_t byte = 0;
  access.PCIIO->ReadConfigByte(0, 0x1F, 0, 2, byte);
  EXPECT_EQ(byte, 0xD8u);
  // The data write is refused as any refused request is; the register keeps its value.
  EXPECT_THROW(access.PCIIO->WriteConfigDword(0, 0x1F, 0, 0, 0), EAssertionFailed);
  EXPECT_THROW(access.PCIIO->WriteConfigByte(0, 0x1F, 0, 1, 0), EAssertionFailed);
  EXPECT_EQ(backend->Ports[0xCFC], 0x27D88086u);
  for (const tFakeRequest& request : backend->Requests)
    EXPECT_FALSE(request.Kind == tRequestKind::PortWrite && request.Address != 0xCF8);
  DriverInterface = saved;
}

TEST(AllowList, OnlyReadsOfTheReadersRegistersPassAndNoRegisterIsWritten) {
  // The multiplier registers of the legacy readers; the ratio, P-state and frequency-counter
  // registers of today's processors (Intel SDM vol. 4; AMD BKDG and PPR).
  std::set<std::uint32_t> readable = {0x2A, 0x2C,       0xCE,       0x198,      0xE7,
                                      0xE8, 0xC0010015, 0xC0010042, 0xC0010063, 0xC0010071};
  for (std::uint32_t index = 0xC0010064; index <= 0xC001006B; ++index)
    readable.insert(index);  // the eight P-state definitions
  // Registers around them, and registers of other use.
  const std::uint32_t others[] = {0x0,        0x10,       0x1B,       0x29,       0x2B,
                                  0x2D,       0x3A,       0x8B,       0xCD,       0xCF,
                                  0xE6,       0xE9,       0x197,      0x199,      0x1A0,
                                  0xC0000080, 0xC00000E7, 0xC0010014, 0xC0010016, 0xC0010041,
                                  0xC0010043, 0xC0010061, 0xC0010062, 0xC001006C, 0xC0010070,
                                  0xC0010072, 0xFFFFFFFF, 0x1002A,    0xC001002A};
  std::vector<std::uint32_t> indices(readable.begin(), readable.end());
  indices.insert(indices.end(), std::begin(others), std::end(others));
  for (const std::uint32_t index : indices) {
    SCOPED_TRACE(::testing::Message() << std::hex << index);
    auto backend = std::make_shared<cFakeDeviceBackend>();
    backend->Msrs[index] = 1;
    cControlDevice device(backend);
    EXPECT_EQ(Send(device, IOCTL_READ_MSR, index),
              readable.count(index) ? tDeviceStatus::Success : tDeviceStatus::AccessDenied);
    EXPECT_EQ(Send(device, IOCTL_WRITE_MSR, index), tDeviceStatus::AccessDenied);
    EXPECT_EQ(backend->Requests.size(), readable.count(index));
    EXPECT_EQ(backend->Msrs[index], 1u);
  }
}

// Records the registers the readers ask for and answers each.
class tAskedRegisters final : public IMSRIO {
 public:
  bool ReadMSR(std::uint32_t index, tMSRValue& value) override {
    Asked.insert(index);
    value = {};
    return true;
  }
  bool WriteMSR(std::uint32_t index, const tMSRValue&) override {
    Written.insert(index);
    return false;
  }
  std::set<std::uint32_t> Asked, Written;
};

TEST(AllowList, EveryRegisterTheReadersReadIsInTheTableAndNoneIsWritten) {
  auto registers = std::make_shared<tAskedRegisters>();
  DriverAccess = std::make_shared<tVXLDrv>();
  DriverAccess->MSRIO = registers;
  for (std::uint8_t method = 0; method < 16; ++method) {
    for (const bool managed : {false, true}) {  // PowerNow! and Cool'n'Quiet
      auto engine = Identified({tRawCpu::Amd(6, 8, 0)});
      engine->MultiplierMethod[0] = method;
      engine->CPUfeatures[0].PowerNow = managed ? 1 : 0;
      engine->CPUfeatures[0].CoolnQuiet = managed ? 1 : 0;
      float multiplier = 0;
      engine->GetMultiplier(multiplier, 0);
    }
  }
  DriverAccess.reset();
  for (const std::uint32_t index : registers->Asked)
    EXPECT_TRUE(IsReadRegister(index)) << std::hex << index;
  EXPECT_FALSE(registers->Asked.empty());
  EXPECT_TRUE(registers->Written.empty());
  for (const tMsrRead& row : kMsrReads) {
    EXPECT_LE(row.First, row.Last) << row.Name;
    EXPECT_FALSE(row.Reason.empty() || row.ReadOn.empty() || row.Source.empty()) << row.Name;
  }
}

}  // namespace
