// Reading the kernel's files below a root folder, bounded.
#include "platform/SystemFiles.h"

#include <dirent.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <memory>

namespace platform {

tSystemFiles::tSystemFiles(std::string root) : root_(std::move(root)) {
  while (!root_.empty() && root_.back() == '/')
    root_.pop_back();
}

std::string tSystemFiles::Place(std::string_view path) const {
  std::string place = root_;
  if (path.empty() || path.front() != '/') place += '/';
  return place.append(path);
}

std::optional<std::string> tSystemFiles::Read(std::string_view path) const {
  std::ifstream file(Place(path), std::ios::binary);
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (text.size() < kMaxFileBytes) {
    const std::size_t want = std::min(sizeof buffer, kMaxFileBytes - text.size());
    file.read(buffer, static_cast<std::streamsize>(want));
    const std::streamsize got = file.gcount();
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  // A file the kernel refuses to give (a counter readable by root only) fails on the read,
  // not on the open.
  if (file.bad()) return std::nullopt;
  return text;
}

std::optional<std::uint64_t> LeadingNumber(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);
  const std::size_t end = std::min(text.find_first_of(" \t\r\n"), text.size());
  std::uint64_t value = 0;
  const auto [last, error] = std::from_chars(text.data(), text.data() + end, value);
  if (error != std::errc() || last != text.data() + end) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> tSystemFiles::Number(std::string_view path) const {
  const std::optional<std::string> text = Read(path);
  if (!text) return std::nullopt;
  return LeadingNumber(*text);
}

std::vector<std::string> tSystemFiles::List(std::string_view path) const {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(Place(path).c_str()), closedir);
  if (!folder) return names;
  while (const dirent* entry = readdir(folder.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace platform
