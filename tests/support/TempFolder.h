// Test support: a fresh folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

class tTempFolder {
 public:
  tTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumarian-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~tTempFolder() {
    if (!path_.empty()) std::filesystem::remove_all(path_);
  }
  tTempFolder(const tTempFolder&) = delete;
  tTempFolder& operator=(const tTempFolder&) = delete;

  // Empty when no folder could be made.
  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};
