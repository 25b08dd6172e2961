// The logo table: the picture in the folder "Logo" that each logo key of a name record shows.
// The build makes it from the logo list, data/Logo/logos.tsv.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct tLogoFile {
  std::uint16_t Key;
  std::string_view File;
};

// One row a key; keys are unique.
extern const std::span<const tLogoFile> kLogoFiles;
// The picture of every key without a row.
extern const std::string_view kNoLogoFile;
