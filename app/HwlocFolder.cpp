#include "app/HwlocFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <utility>

#include "app/InputFile.h"
#include "app/TerminalText.h"
#include "engine/listings/HwlocCpuid.h"

namespace {

constexpr std::string_view kPuPrefix = "pu";

// N of a name "pu<N>" (no leading zeros but in "pu0"); nothing for any other name.
std::optional<unsigned> PuNumber(std::string_view name) {
  if (name.substr(0, kPuPrefix.size()) != kPuPrefix) return std::nullopt;
  const std::string_view digits = name.substr(kPuPrefix.size());
  if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0'))
    return std::nullopt;
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

// hwloc names the file of a processor by the operating system's number; a loaded processor,
// which has none, by its slot.
std::string PuName(const tCpuidStore& store, std::size_t slot) {
  return std::string(kPuPrefix) +
         std::to_string(store.OsCpu >= 0 ? static_cast<std::size_t>(store.OsCpu) : slot);
}

using tDirectory = std::unique_ptr<DIR, int (*)(DIR*)>;

std::string Named(const std::string& path, std::string_view what) {
  return Quoted(path) + ": " + std::string(what);
}

bool WriteWhole(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// Writes `text` as the new file `name` in the folder `dir`; the reason on failure.
std::optional<std::string> WriteNewFile(int dir, const std::string& name, const std::string& text) {
  const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return std::string(std::strerror(errno));
  const bool written = WriteWhole(fd, text) && fsync(fd) == 0;
  const int error = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed) return std::string(std::strerror(written ? errno : error));
  return std::nullopt;
}

// Removes a folder of files made here and nothing else.
void RemoveMadeFolder(const std::string& path) {
  tDirectory dir(opendir(path.c_str()), closedir);
  if (dir) {
    while (const dirent* entry = readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") unlinkat(dirfd(dir.get()), entry->d_name, 0);
    }
  }
  rmdir(path.c_str());
}

}  // namespace

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::variant<std::vector<tCpuidStore>, std::string> LoadHwlocFolder(const std::string& path) {
  tDirectory dir(opendir(path.c_str()), closedir);
  if (!dir) return Named(path, std::string("cannot open: ") + std::strerror(errno));
  std::vector<std::pair<unsigned, std::string>> files;
  errno = 0;
  while (const dirent* entry = readdir(dir.get())) {
    if (const std::optional<unsigned> number = PuNumber(entry->d_name)) {
      if (files.size() == kMaxListedProcessors)
        return Named(path, "more than " + std::to_string(kMaxListedProcessors) + " pu files");
      files.emplace_back(*number, entry->d_name);
    }
  }
  if (errno != 0) return Named(path, std::string("cannot read: ") + std::strerror(errno));
  if (files.empty()) return Named(path, "a folder without the files pu0, pu1, ... of hwloc");
  std::sort(files.begin(), files.end());

  std::vector<tCpuidStore> stores;
  for (const auto& [number, name] : files) {
    const std::string file = path + "/" + name;
    std::string text;
    if (const auto error = ReadInputFile(file, kMaxListingBytes + 1, text))
      return Named(file, *error);
    auto read = ReadHwlocPu(text);
    if (auto* error = std::get_if<tListingError>(&read))
      return Quoted(file) + ":" + std::to_string(error->Line) + ": " + error->Reason;
    for (tCpuidStore& store : std::get<std::vector<tCpuidStore>>(read))
      stores.push_back(std::move(store));
  }
  return stores;
}

std::optional<std::string> WriteHwlocFolder(const std::string& path,
                                            const std::vector<tCpuidStore>& stores) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) {
    if (!S_ISDIR(info.st_mode)) return Named(path, "is there already and is not a folder");
    tDirectory dir(opendir(path.c_str()), closedir);
    if (!dir) return Named(path, std::string("cannot open: ") + std::strerror(errno));
    while (const dirent* entry = readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..")
        return Named(path, "holds files already; nothing was written");
    }
  }
  // The new folder beside the name, in the same file system, so that it can take the name.
  std::string made = path;
  while (made.size() > 1 && made.back() == '/')
    made.pop_back();
  made += ".partial-XXXXXX";
  if (mkdtemp(made.data()) == nullptr)
    return Named(path, std::string("cannot make the folder: ") + std::strerror(errno));
  const int dir = open(made.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::optional<std::string> error;
  if (dir < 0) error = std::strerror(errno);
  for (std::size_t k = 0; !error && k < stores.size(); ++k)
    error = WriteNewFile(dir, PuName(stores[k], k), FormatHwlocPu(stores[k]));
  if (!error) error = WriteNewFile(dir, std::string(kHwlocInfoFile), std::string(kHwlocInfoText));
  if (dir >= 0) close(dir);
  // rename() gives the name to the new folder where it is free or an empty folder's.
  if (!error && rename(made.c_str(), path.c_str()) != 0) error = std::strerror(errno);
  if (error) {
    RemoveMadeFolder(made);
    return Named(path, "cannot write: " + *error);
  }
  chmod(path.c_str(), 0755);
  return std::nullopt;
}
