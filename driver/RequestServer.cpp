#include "driver/RequestServer.h"

#include <sys/socket.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "protocol/CmnTnC.h"
#include "protocol/LittleEndian.h"
#include "protocol/RequestMessage.h"

namespace {

bool FirmwareCode(std::uint32_t code) {
  return code == IOCTL_READ_SMBIOS_ENTRY_POINT || code == IOCTL_READ_SMBIOS_TABLE;
}

// Sends one whole message; false when the socket failed.
bool SendMessage(int socket, std::span<const std::uint8_t> message) {
  for (;;) {
    const ssize_t sent = send(socket, message.data(), message.size(), MSG_NOSIGNAL);
    if (sent >= 0) return static_cast<std::size_t>(sent) == message.size();
    if (errno != EINTR) return false;
  }
}

}  // namespace

cRequestServer::cRequestServer(std::shared_ptr<IControlDevice> device, tFirmwareTables tables,
                               tProcessorChoice chooseProcessor)
    : device_(std::move(device)),
      readTables_(std::move(tables)),
      chooseProcessor_(std::move(chooseProcessor)) {}

std::size_t cRequestServer::Answer(std::span<const std::uint8_t> message,
                                   std::span<std::uint8_t> reply) {
  std::uint32_t returned = 0;
  tDeviceStatus status = tDeviceStatus::InvalidParameter;
  const std::optional<tRequest> request = ParseRequest(message);
  if (request && (request->Processor == kAnyProcessor || request->Processor < kProcessorLimit)) {
    chooseProcessor_(request->Processor);
    status = Perform(request->Code, request->Input,
                     reply.subspan(kReplyHeaderSize, request->OutLength), returned);
  }
  if (status != tDeviceStatus::Success) returned = 0;
  StoreLE(reply.data(), static_cast<std::uint32_t>(status), 4);
  return kReplyHeaderSize + returned;
}

tDeviceStatus cRequestServer::Perform(std::uint32_t code, std::span<const std::uint8_t> in,
                                      std::span<std::uint8_t> out, std::uint32_t& returned) {
  if (FirmwareCode(code)) return FirmwareRequest(code, in, out, returned);
  return device_->Control(code, in.empty() ? nullptr : in.data(),
                          static_cast<std::uint32_t>(in.size()), out.empty() ? nullptr : out.data(),
                          static_cast<std::uint32_t>(out.size()), returned);
}

tDeviceStatus cRequestServer::FirmwareRequest(std::uint32_t code, std::span<const std::uint8_t> in,
                                              std::span<std::uint8_t> out,
                                              std::uint32_t& returned) {
  if (!tablesRead_) {
    tablesRead_ = true;
    tablesFound_ = readTables_(entryPoint_, table_) && !entryPoint_.empty();
    if (table_.size() > kMaxSMBIOSTable) table_.resize(kMaxSMBIOSTable);
  }
  std::span<const std::uint8_t> answer;
  if (code == IOCTL_READ_SMBIOS_ENTRY_POINT) {
    if (!in.empty()) return tDeviceStatus::InvalidParameter;
    if (!tablesFound_) return tDeviceStatus::Unsuccessful;
    if (out.size() < entryPoint_.size()) return tDeviceStatus::InvalidParameter;
    answer = entryPoint_;
  } else {
    if (in.size() != 4) return tDeviceStatus::InvalidParameter;
    if (!tablesFound_) return tDeviceStatus::Unsuccessful;
    const std::uint64_t offset = LoadLE(in.data(), 4);
    if (offset > table_.size()) return tDeviceStatus::InvalidParameter;
    answer = std::span<const std::uint8_t>(table_).subspan(static_cast<std::size_t>(offset));
    answer = answer.first(std::min(answer.size(), out.size()));
  }
  std::copy(answer.begin(), answer.end(), out.begin());
  returned = static_cast<std::uint32_t>(answer.size());
  return tDeviceStatus::Success;
}

int ServeClient(int socket, cRequestServer& server) {
  std::vector<std::uint8_t> reply(kMaxReplySize);
  StoreLE(reply.data(), static_cast<std::uint32_t>(tDeviceStatus::Success), 4);
  std::copy(kDriverGreeting.begin(), kDriverGreeting.end(), reply.begin() + kReplyHeaderSize);
  if (!SendMessage(socket, std::span(reply).first(kReplyHeaderSize + kDriverGreeting.size())))
    return 1;

  // One byte more than the longest request: a longer message arrives cut, and too long.
  std::uint8_t message[kMaxRequestSize + 1];
  for (;;) {
    const ssize_t received = recv(socket, message, sizeof message, 0);
    if (received == 0) return 0;
    if (received < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    const std::size_t length =
        server.Answer(std::span(message, static_cast<std::size_t>(received)), reply);
    if (!SendMessage(socket, std::span(reply).first(length))) return 1;
  }
}
