#include "app/DumpFiles.h"

#include "app/InputFile.h"
#include "app/TerminalText.h"
#include "engine/CpuidDump.h"

namespace {

// A dump is about 2 KB; reading stops well past that, and whatever was not read is
// reported as text after the last row.
constexpr std::size_t kReadLimit = 64 * 1024;

}  // namespace

std::variant<tCPUdata, std::string> LoadDumpFile(const std::string& path) {
  std::string text;
  if (const auto error = ReadInputFile(path, kReadLimit, text)) return Quoted(path) + ": " + *error;

  tCPUdata data;
  if (const auto error = ParseCpuidDump(text, data)) {
    return Quoted(path) + ":" + std::to_string(error->Line) +
           ": not a CPUID dump: " + error->Reason;
  }
  return data;
}
