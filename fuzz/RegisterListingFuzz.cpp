// Feeds arbitrary bytes to the reader of register listings; see ListingOracle.h for what a read
// that succeeds must satisfy.
#include <cstdint>
#include <string_view>

#include "engine/listings/RegisterListing.h"
#include "fuzz/ListingOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  CheckListing(ReadRegisterListing(std::string_view(reinterpret_cast<const char*>(bytes), size)));
  return 0;
}
