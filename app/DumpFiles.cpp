#include "app/DumpFiles.h"

#include "app/HwlocFolder.h"
#include "app/InputFile.h"
#include "app/TerminalText.h"
#include "engine/listings/Listings.h"

std::variant<std::vector<tCpuidStore>, std::string> LoadDumpFile(const std::string& path) {
  if (IsFolder(path)) return LoadHwlocFolder(path);
  // One byte more than a listing may hold, so that a larger file is seen to be larger.
  std::string text;
  if (const auto error = ReadInputFile(path, kMaxListingBytes + 1, text)) {
    return Quoted(path) + ": " + *error;
  }
  auto read = ReadListing(text);
  if (auto* error = std::get_if<tListingError>(&read)) {
    return Quoted(path) + ":" + std::to_string(error->Line) + ": " + error->Reason;
  }
  return std::get<std::vector<tCpuidStore>>(std::move(read));
}
