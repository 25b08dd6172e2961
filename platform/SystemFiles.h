// The kernel's files about processors, clocks and sensors (under /sys and /proc), read below a
// root folder: "/" on this machine, a folder laid out the same way in the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class tSystemFiles {
 public:
  // The most of one file that is read: /proc/cpuinfo of a few thousand processors.
  static constexpr std::size_t kMaxFileBytes = 16 << 20;

  explicit tSystemFiles(std::string root = "/");

  // The text of the file at `path` (written as on the system, "/sys/..."); nothing when it
  // cannot be read. A longer file is cut at kMaxFileBytes.
  std::optional<std::string> Read(std::string_view path) const;
  // The file's first word as a number without sign; nothing when it is not one.
  std::optional<std::uint64_t> Number(std::string_view path) const;
  // The names in folder `path`, sorted; none where it cannot be listed.
  std::vector<std::string> List(std::string_view path) const;

 private:
  std::string Place(std::string_view path) const;
  std::string root_;
};

// The first whitespace-delimited word of `text` as a number without sign, all of it digits.
std::optional<std::uint64_t> LeadingNumber(std::string_view text);

}  // namespace platform
