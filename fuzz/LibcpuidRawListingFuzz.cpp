// Feeds arbitrary bytes to the reader of libcpuid raw data; see ListingOracle.h for what a read
// that succeeds must satisfy.
#include <cstdint>
#include <string_view>

#include "engine/listings/LibcpuidRawListing.h"
#include "fuzz/ListingOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  CheckListing(
      ReadLibcpuidRawListing(std::string_view(reinterpret_cast<const char*>(bytes), size)));
  return 0;
}
