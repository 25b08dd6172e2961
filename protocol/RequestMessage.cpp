#include "protocol/RequestMessage.h"

#include <algorithm>

#include "protocol/LittleEndian.h"

std::optional<tRequest> ParseRequest(std::span<const std::uint8_t> message) {
  if (message.size() < kRequestHeaderSize || message.size() > kMaxRequestSize) return std::nullopt;
  tRequest request;
  request.Code = static_cast<std::uint32_t>(LoadLE(message.data(), 4));
  request.OutLength = static_cast<std::uint32_t>(LoadLE(message.data() + 4, 4));
  request.Processor = static_cast<std::uint32_t>(LoadLE(message.data() + 8, 4));
  if (request.OutLength > kMaxReplyOutput) return std::nullopt;
  request.Input = message.subspan(kRequestHeaderSize);
  return request;
}

std::size_t EncodeRequest(const tRequest& request, std::span<std::uint8_t> message) {
  StoreLE(message.data(), request.Code, 4);
  StoreLE(message.data() + 4, request.OutLength, 4);
  StoreLE(message.data() + 8, request.Processor, 4);
  std::copy(request.Input.begin(), request.Input.end(), message.begin() + kRequestHeaderSize);
  return kRequestHeaderSize + request.Input.size();
}
