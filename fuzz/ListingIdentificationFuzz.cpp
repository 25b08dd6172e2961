// Feeds arbitrary bytes to --load's reading of a listing in any format, and whatever reads as
// processors through identification and both reports, as --load takes them: the decoders see
// stores with any leaves and sub-leaves, not only the 27 of the program's own dump.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/JsonReport.h"
#include "app/TextReport.h"
#include "engine/CPUid.h"
#include "engine/listings/Listings.h"
#include "platform/ReplayProcessorServices.h"

namespace {

// Identification costs a thread per engine; a few processors show as much as many.
constexpr std::size_t kIdentifiedAtMost = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const tListingRead read =
      ReadListing(std::string_view(reinterpret_cast<const char*>(bytes), size));
  const auto* processors = std::get_if<std::vector<tCpuidStore>>(&read);
  if (processors == nullptr || processors->size() > kIdentifiedAtMost) return 0;
  std::vector<platform::tCpuidRecording> recordings;
  for (const tCpuidStore& store : *processors)
    recordings.push_back(RecordingOf(store));
  cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)), true);
  if (JsonReport(engine, false).empty() || TextReport(engine, tHardwareAccess::NotTried).empty()) {
    std::abort();
  }
  return 0;
}
