#include "platform/Microcode.h"

#include <cctype>
#include <cstdio>
#include <memory>

namespace platform {

std::string MicrocodeRevision(int osCpu, std::string_view cpuFolder) {
  if (osCpu < 0) return "";
  const std::string path =
      std::string(cpuFolder) + "/cpu" + std::to_string(osCpu) + "/microcode/version";
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "re"),
                                                             std::fclose);
  if (!file) return "";
  // "0x" and at most 16 digits, then the line break.
  char text[24] = {};
  const std::size_t read = std::fread(text, 1, sizeof text - 1, file.get());
  std::string revision(text, read);
  while (!revision.empty() && (revision.back() == '\n' || revision.back() == ' '))
    revision.pop_back();
  if (revision.size() < 3 || revision.size() > 18 || revision.compare(0, 2, "0x") != 0) return "";
  for (std::size_t k = 2; k < revision.size(); ++k)
    if (std::isxdigit(static_cast<unsigned char>(revision[k])) == 0) return "";
  return revision;
}

}  // namespace platform
