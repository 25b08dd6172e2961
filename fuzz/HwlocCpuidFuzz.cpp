// Feeds arbitrary bytes to the reader of hwloc-gather-cpuid files; see ListingOracle.h for what
// a read that succeeds must satisfy. The file written of what was read reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/listings/HwlocCpuid.h"
#include "fuzz/ListingOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const tListingRead read =
      ReadHwlocPu(std::string_view(reinterpret_cast<const char*>(bytes), size));
  CheckListing(read);
  if (const auto* processors = std::get_if<std::vector<tCpuidStore>>(&read)) {
    if (processors->size() != 1) std::abort();
    const tListingRead again = ReadHwlocPu(FormatHwlocPu(processors->front()));
    const auto* reread = std::get_if<std::vector<tCpuidStore>>(&again);
    if (reread == nullptr || *reread != *processors) std::abort();
  }
  return 0;
}
