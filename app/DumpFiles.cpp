#include "app/DumpFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/CpuidDump.h"

namespace {

// A dump is about 2 KB; reading stops well past that, and whatever was not read is
// reported as text after the last row.
constexpr std::size_t kReadLimit = 64 * 1024;

struct tCloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::variant<tCPUdata, std::string> LoadDumpFile(const std::string& path) {
  errno = 0;
  std::unique_ptr<std::FILE, tCloseFile> file(std::fopen(path.c_str(), "rb"));
  if (!file) return path + ": cannot open: " + std::strerror(errno);

  std::string text(kReadLimit, '\0');
  const std::size_t read = std::fread(text.data(), 1, text.size(), file.get());
  if (std::ferror(file.get())) return path + ": cannot read: " + std::strerror(errno);
  text.resize(read);

  tCPUdata data;
  if (const auto error = ParseCpuidDump(text, data)) {
    return path + ":" + std::to_string(error->Line) + ": not a CPUID dump: " + error->Reason;
  }
  return data;
}
