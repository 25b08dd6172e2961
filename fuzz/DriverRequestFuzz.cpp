// Feeds arbitrary messages to the driver process's server over in-memory hardware and
// firmware tables, as a client at the other end of its socket could send them. The input is
// a run of messages, each one length byte followed by that many bytes (up to two bytes past
// the longest request). Checks that every reply fits what was asked, that a failed request
// returns nothing, and that nothing outside the allow-list reaches the hardware.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "device/AllowList.h"
#include "driver/RequestServer.h"
#include "protocol/LittleEndian.h"
#include "protocol/MsrReads.h"
#include "protocol/RequestMessage.h"
#include "tests/support/FakeDeviceBackend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  for (const tMsrRead& row : kMsrReads) {
    for (std::uint32_t index = row.First; index <= row.Last; ++index)
      backend->Msrs[index] = 0x0123456789ABCDEF;
  }
  backend->Msrs[0x10] = 1;
  std::vector<std::uint8_t> entryPoint(0x1F, 0x5F), table(70000, 0x41);
  cRequestServer server(
      std::make_shared<cControlDevice>(backend),
      [&](std::vector<std::uint8_t>& e, std::vector<std::uint8_t>& t) {
        e = entryPoint;
        t = table;
        return true;
      },
      [](std::uint32_t processor) {
        if (processor != kAnyProcessor && processor >= kProcessorLimit) std::abort();
      });

  std::vector<std::uint8_t> reply(kMaxReplySize);
  std::size_t at = 0;
  while (at < size) {
    const std::size_t length =
        std::min<std::size_t>(bytes[at] % (kMaxRequestSize + 3), size - at - 1);
    // The message alone in a buffer of its own length, so any read past it is caught.
    std::vector<std::uint8_t> message(bytes + at + 1, bytes + at + 1 + length);
    at += 1 + length;
    const std::size_t replied = server.Answer(message, reply);
    const std::optional<tRequest> request = ParseRequest(message);
    const std::size_t asked = request ? request->OutLength : 0;
    if (replied < kReplyHeaderSize || replied - kReplyHeaderSize > asked) std::abort();
    if (LoadLE(reply.data(), 4) != 0 && replied != kReplyHeaderSize) std::abort();
  }
  for (const tFakeRequest& done : backend->Requests) {
    if (!ProgramRequest(done.Kind, done.Address, done.Width)) std::abort();
  }
  return 0;
}
