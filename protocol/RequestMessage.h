// The messages between the program and the driver process. They travel over a
// sequenced-packet socket pair, which keeps each message whole: one message is one request or
// one reply. A request is the control code (u32), the number of output bytes asked for (u32),
// the processor the request is for (u32), then the input bytes. A reply is the status (u32),
// then the output bytes written. Every field is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

inline constexpr std::size_t kRequestHeaderSize = 12;
// The longest input of any request (a register write) is 12 bytes.
inline constexpr std::size_t kMaxRequestInput = 16;
inline constexpr std::size_t kMaxRequestSize = kRequestHeaderSize + kMaxRequestInput;
inline constexpr std::size_t kReplyHeaderSize = 4;
inline constexpr std::uint32_t kMaxReplyOutput = 65536;
inline constexpr std::size_t kMaxReplySize = kReplyHeaderSize + kMaxReplyOutput;

// Register requests act on the processor named in the request: the one the sender ran on.
// kAnyProcessor leaves the choice to the driver; numbers from kProcessorLimit up are invalid.
inline constexpr std::uint32_t kAnyProcessor = 0xFFFFFFFF;
inline constexpr std::uint32_t kProcessorLimit = 65536;

// The driver's first message, once it is ready: a reply of status Success with these bytes.
inline constexpr std::string_view kDriverGreeting = "lumarian-driver 1";

struct tRequest {
  std::uint32_t Code = 0;
  std::uint32_t OutLength = 0;
  std::uint32_t Processor = kAnyProcessor;
  std::span<const std::uint8_t> Input;
};

// The request a message holds; nothing when the message is shorter than its header, carries
// more input than any request has, or asks for more output than a reply holds.
std::optional<tRequest> ParseRequest(std::span<const std::uint8_t> message);

// Writes `request` (at most kMaxRequestInput input bytes) at the start of `message`, which
// holds at least kMaxRequestSize bytes, and returns the message's length.
std::size_t EncodeRequest(const tRequest& request, std::span<std::uint8_t> message);
