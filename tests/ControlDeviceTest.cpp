// The hardware-access device: control codes, buffer layouts, length rules and statuses, over
// in-memory ports and registers.
#include "device/ControlDevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "protocol/CmnTnC.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

using tBytes = std::vector<std::uint8_t>;

struct tExchange {
  tDeviceStatus Status;
  std::uint32_t Returned;
  tBytes Out;
};

class ControlDevice : public ::testing::Test {
 protected:
  tExchange Send(std::uint32_t code, const tBytes& in, std::uint32_t outLength) {
    tExchange result{tDeviceStatus::Success, 0xDEAD, tBytes(outLength, 0xEE)};
    result.Status = device_.Control(code, in.data(), static_cast<std::uint32_t>(in.size()),
                                    result.Out.data(), outLength, result.Returned);
    return result;
  }

  std::shared_ptr<cFakeDeviceBackend> backend_ = std::make_shared<cFakeDeviceBackend>();
  cControlDevice device_{backend_, AllowEverything};
};

TEST(ControlCodes, BuilderGivesTheCodesOfTheProtocol) {
  struct {
    std::uint32_t built, expected;
  } const rows[] = {
      {IOCTL_READ_PORT_BYTE, 0x9C406400},  {IOCTL_READ_PORT_WORD, 0x9C406404},
      {IOCTL_READ_PORT_DWORD, 0x9C406408}, {IOCTL_WRITE_PORT_BYTE, 0x9C40A440},
      {IOCTL_WRITE_PORT_WORD, 0x9C40A444}, {IOCTL_WRITE_PORT_DWORD, 0x9C40A448},
      {IOCTL_READ_MSR, 0x9C402604},        {IOCTL_WRITE_MSR, 0x9C402608},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.built, row.expected) << std::hex << row.expected;
  EXPECT_EQ(ControlCode(0x22, 0x800, kAccessAny, 3), 0x00222003u);
}

TEST_F(ControlDevice, EachCodeMovesItsBytesAndAsksTheBackendOnce) {
  backend_->Ports[0x1234] = 0xA1B2C3D4;
  backend_->Msrs[0xC0010015] = 0x1122334455667788;
  using R = tFakeRequest;
  const tBytes port{0x34, 0x12, 0, 0}, write{0x80, 0, 0, 0, 0x11, 0x22, 0x33, 0x44};
  struct {
    std::uint32_t code;
    tBytes in;
    tBytes out;  // also the output length asked for and the byte count returned
    tFakeRequest request;
  } const rows[] = {
      {IOCTL_READ_PORT_BYTE, port, {0xD4}, {R::PortRead, 0x1234, 1, 0}},
      {IOCTL_READ_PORT_WORD, port, {0xD4, 0xC3}, {R::PortRead, 0x1234, 2, 0}},
      {IOCTL_READ_PORT_DWORD, port, {0xD4, 0xC3, 0xB2, 0xA1}, {R::PortRead, 0x1234, 4, 0}},
      // The whole value travels; the device hands the backend the low bytes of its width.
      {IOCTL_WRITE_PORT_BYTE, write, {}, {R::PortWrite, 0x80, 1, 0x11}},
      {IOCTL_WRITE_PORT_WORD, write, {}, {R::PortWrite, 0x80, 2, 0x2211}},
      {IOCTL_WRITE_PORT_DWORD, write, {}, {R::PortWrite, 0x80, 4, 0x44332211}},
      // Registers: low half first on the wire.
      {IOCTL_READ_MSR,
       {0x15, 0x00, 0x01, 0xC0},
       {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11},
       {R::MsrRead, 0xC0010015, 8, 0}},
      {IOCTL_WRITE_MSR,
       {0x2A, 0, 0, 0, 0x04, 0x03, 0x02, 0x01, 0x08, 0x07, 0x06, 0x05},
       {},
       {R::MsrWrite, 0x2A, 8, 0x0506070801020304}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << row.code);
    backend_->Requests.clear();
    const tExchange result = Send(row.code, row.in, static_cast<std::uint32_t>(row.out.size()));
    EXPECT_EQ(result.Status, tDeviceStatus::Success);
    EXPECT_EQ(result.Returned, row.out.size());
    EXPECT_EQ(result.Out, row.out);
    EXPECT_EQ(backend_->Requests, std::vector<tFakeRequest>{row.request});
  }
}

TEST_F(ControlDevice, BuffersOfTheWrongLengthAreInvalidParametersAndReachNoHardware) {
  backend_->Msrs[0x10] = 1;
  const tBytes port(4, 0), portLong(5, 0), index(4, 0x10);
  struct {
    std::uint32_t code;
    tBytes in;
    std::uint32_t outLength;
    tDeviceStatus status;
  } const rows[] = {
      {IOCTL_READ_PORT_BYTE, tBytes(3, 0), 1, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_PORT_BYTE, portLong, 1, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_PORT_BYTE, port, 0, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_PORT_BYTE, port, 8, tDeviceStatus::Success},
      {IOCTL_READ_PORT_WORD, port, 1, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_PORT_DWORD, port, 3, tDeviceStatus::InvalidParameter},
      {IOCTL_WRITE_PORT_BYTE, tBytes(4, 0), 0, tDeviceStatus::InvalidParameter},
      {IOCTL_WRITE_PORT_BYTE, tBytes(5, 0), 0, tDeviceStatus::Success},
      {IOCTL_WRITE_PORT_WORD, tBytes(5, 0), 0, tDeviceStatus::InvalidParameter},
      {IOCTL_WRITE_PORT_DWORD, tBytes(7, 0), 0, tDeviceStatus::InvalidParameter},
      {IOCTL_WRITE_PORT_DWORD, tBytes(16, 0), 0, tDeviceStatus::Success},
      // Register requests too short to hold their fields are refused rather than read past.
      {IOCTL_READ_MSR, tBytes(3, 0x10), 8, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_MSR, index, 7, tDeviceStatus::InvalidParameter},
      {IOCTL_READ_MSR, tBytes{0x10, 0, 0, 0, 9}, 16, tDeviceStatus::Success},
      {IOCTL_WRITE_MSR, tBytes(11, 0), 0, tDeviceStatus::InvalidParameter},
      {IOCTL_WRITE_MSR, tBytes(12, 0), 4, tDeviceStatus::Success},
      // Codes outside the protocol.
      {0x9C406410, port, 4, tDeviceStatus::InvalidDeviceRequest},
      {IOCTL_READ_PORT_BYTE | 1, port, 4, tDeviceStatus::InvalidDeviceRequest},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message()
                 << std::hex << row.code << " in " << row.in.size() << " out " << row.outLength);
    backend_->Requests.clear();
    const tExchange result = Send(row.code, row.in, row.outLength);
    EXPECT_EQ(result.Status, row.status);
    if (row.status != tDeviceStatus::Success) {
      EXPECT_EQ(result.Returned, 0u);
      EXPECT_TRUE(backend_->Requests.empty());
      EXPECT_EQ(result.Out, tBytes(row.outLength, 0xEE));
    }
  }
}

TEST_F(ControlDevice, RefusedHardwareFarPortsAndMissingBuffersFailWithoutOutput) {
  EXPECT_EQ(Send(IOCTL_READ_PORT_DWORD, {0, 0, 1, 0}, 4).Status, tDeviceStatus::Unsuccessful);
  EXPECT_EQ(Send(IOCTL_WRITE_PORT_BYTE, {0, 0, 1, 0, 5, 0, 0, 0}, 0).Status,
            tDeviceStatus::Unsuccessful);
  std::uint8_t buffer[8] = {};
  std::uint32_t returned = 7;
  EXPECT_EQ(device_.Control(IOCTL_READ_PORT_BYTE, nullptr, 4, buffer, 1, returned),
            tDeviceStatus::InvalidParameter);
  EXPECT_EQ(device_.Control(IOCTL_READ_MSR, buffer, 4, nullptr, 8, returned),
            tDeviceStatus::InvalidParameter);
  EXPECT_EQ(returned, 0u);
  EXPECT_TRUE(backend_->Requests.empty());

  const tExchange missing = Send(IOCTL_READ_MSR, {0x99, 0, 0, 0}, 8);  // no such register
  EXPECT_EQ(missing.Status, tDeviceStatus::Unsuccessful);
  EXPECT_EQ(missing.Returned, 0u);
  EXPECT_EQ(missing.Out, tBytes(8, 0xEE));
  backend_->FailAll = true;
  EXPECT_EQ(Send(IOCTL_READ_PORT_WORD, {0x60, 0, 0, 0}, 2).Returned, 0u);
  EXPECT_EQ(Send(IOCTL_WRITE_MSR, tBytes(12, 0), 0).Status, tDeviceStatus::Unsuccessful);
}

TEST_F(ControlDevice, OneBufferServesAsInputAndOutput) {
  backend_->Msrs[0x2C] = 0xFFEEDDCC'BBAA9988;
  std::uint8_t shared[8] = {0x2C, 0, 0, 0};
  std::uint32_t returned = 0;
  ASSERT_EQ(device_.Control(IOCTL_READ_MSR, shared, 4, shared, 8, returned),
            tDeviceStatus::Success);
  EXPECT_EQ(tBytes(shared, shared + 8), (tBytes{0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
}

}  // namespace
