// Feeds arbitrary bytes to the dump reader. Whatever reads as a dump must write back as the
// same rows, and goes on through identification and both reports, as --load would take it.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/JsonReport.h"
#include "app/TextReport.h"
#include "engine/CPUid.h"
#include "engine/listings/CpuidDump.h"
#include "platform/ReplayProcessorServices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  tCPUdata data;
  if (ParseCpuidDump(text, data)) return 0;

  tCPUdata again;
  if (ParseCpuidDump(FormatCpuidDump(data), again)) std::abort();
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    if (!(again.Row(k) == data.Row(k))) std::abort();
  }

  cCPUid engine(std::make_unique<platform::cReplayProcessorServices>(
                    std::vector<platform::tCpuidRecording>{RecordingOf(data)}),
                true);
  if (JsonReport(engine, false).empty() || TextReport(engine, tHardwareAccess::NotTried).empty())
    std::abort();
  return 0;
}
