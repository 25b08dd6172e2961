#include "engine/listings/Listings.h"

#include "engine/listings/CpuidDump.h"
#include "engine/listings/CpuidToolListing.h"
#include "engine/listings/HwlocCpuid.h"
#include "engine/listings/LibcpuidRawListing.h"
#include "engine/listings/RegisterListing.h"

namespace {

// The first line of the program's own dump starts so.
constexpr std::string_view kOwnDumpStart = "Quorvane CPU Lumarian";

tListingRead ReadOwnDump(std::string_view text) {
  tCPUdata data;
  if (const auto error = ParseCpuidDump(text, data)) {
    return tListingError{error->Line, "not a CPUID dump: " + error->Reason};
  }
  return std::vector<tCpuidStore>{StoreOf(RecordingOf(data))};
}

}  // namespace

tListingRead ReadListing(std::string_view text) {
  if (text.substr(0, kOwnDumpStart.size()) == kOwnDumpStart) return ReadOwnDump(text);
  const std::string_view first = FirstSignificantLine(text);
  if (LooksLikeCpuidToolListing(first)) return ReadCpuidToolListing(text);
  if (LooksLikeLibcpuidRawListing(first)) return ReadLibcpuidRawListing(text);
  if (LooksLikeHwlocPu(first)) return ReadHwlocPu(text);
  return ReadRegisterListing(text);
}
