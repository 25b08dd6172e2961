// Feeds arbitrary requests to the hardware-access device over in-memory ports and registers.
// Each request is: code (4 bytes), input length (2), output length (2), one flag byte (bit 0:
// input and output share one buffer; bit 1: the hardware refuses; bit 2: the device performs
// everything, not only what the program asks for), then the input bytes. The
// buffers are exactly as long as the request says, so AddressSanitizer catches any access past
// them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "device/ControlDevice.h"
#include "tests/support/FakeDeviceBackend.h"

namespace {

struct tReader {
  const std::uint8_t* bytes;
  std::size_t size;

  std::uint32_t Take(unsigned count) {
    std::uint32_t value = 0;
    for (unsigned k = 0; k < count && size > 0; ++k, ++bytes, --size)
      value |= std::uint32_t{*bytes} << (8 * k);
    return value;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  auto backend = std::make_shared<cFakeDeviceBackend>();
  backend->Msrs[0x10] = 0x0123456789ABCDEF;
  cControlDevice guarded(backend), open(backend, AllowEverything);
  tReader reader{bytes, size};
  while (reader.size >= 9) {
    std::uint32_t code = reader.Take(4);
    // Most codes the device does not know; steer half the requests to its own.
    if ((code & 0x80000000u) == 0) code = (code & 0xFFFFu) | 0x9C400000u;
    const auto inLength = reader.Take(2);
    const auto outLength = reader.Take(2);
    const std::uint32_t flags = reader.Take(1);
    const bool shared = (flags & 1) != 0;
    backend->FailAll = (flags & 2) != 0;
    cControlDevice& device = (flags & 4) != 0 ? open : guarded;
    const std::size_t before = backend->Requests.size();

    std::vector<std::uint8_t> in(inLength);
    const std::size_t given = std::min<std::size_t>(inLength, reader.size);
    if (given > 0) std::memcpy(in.data(), reader.bytes, given);
    reader.bytes += given;
    reader.size -= given;

    std::vector<std::uint8_t> out(shared ? 0 : outLength, 0xEE);
    if (shared) in.resize(std::max(inLength, outLength));
    std::uint32_t returned = 0xFFFFFFFF;
    const tDeviceStatus status =
        shared ? device.Control(code, in.data(), inLength, in.data(), outLength, returned)
               : device.Control(code, in.empty() ? nullptr : in.data(), inLength,
                                out.empty() ? nullptr : out.data(), outLength, returned);
    if (returned > outLength || (!Succeeded(status) && returned != 0)) std::abort();
    if (!shared && !Succeeded(status) &&
        std::any_of(out.begin(), out.end(), [](std::uint8_t b) { return b != 0xEE; }))
      std::abort();
    // The program's device passes on nothing outside its allow-list.
    if (&device == &guarded && backend->Requests.size() > before) {
      const tFakeRequest& done = backend->Requests.back();
      if (!ProgramRequest(done.Kind, done.Address, done.Width)) std::abort();
    }
  }
  return 0;
}
