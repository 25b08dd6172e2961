// The logo list (logos.tsv): one row a picture, with its file name, the logo keys that show
// it, and how its picture is drawn. Read at build time by the picture generator and by the
// generator of the program's logo table, which both stop at the first malformed row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct tLogoPicture {
  std::size_t Line = 0;  // in the list, from 1
  std::string File;
  std::vector<std::string> Keys;  // numbers or names of logo-key constants; empty: the fallback
  std::string Package;            // "" for a chip in its maker's colours
  std::array<std::uint8_t, 3> Accent{};
};

struct tLogoList {
  std::vector<tLogoPicture> Pictures;  // in the order of the list
  std::size_t Fallback = 0;            // the picture of every key without a row
};

// Where a list is malformed: its line (0 for the list as a whole) and what is wrong.
struct tLogoListError {
  std::size_t Line = 0;
  std::string Message;
};

namespace logo_list {

inline constexpr std::size_t kMaxBytes = 1 << 20;
inline constexpr std::string_view kNone = "-";
inline constexpr std::string_view kSuffix = ".PNG";
inline constexpr std::string_view kKeyConstantPrefix = "kLogo";
inline constexpr std::size_t kColumns = 4;

inline bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsNameCharacter(char c) {
  return IsLetter(c) || IsDigit(c);
}

inline std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// A decimal number of at most `max`, without sign or leading zeros.
inline std::optional<unsigned> Number(std::string_view text, unsigned max) {
  if (text.empty() || text.size() > 5 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > max) return std::nullopt;
  return value;
}

inline bool IsFileName(std::string_view text) {
  if (text.size() <= kSuffix.size() || !text.ends_with(kSuffix)) return false;
  for (const char c : text.substr(0, text.size() - kSuffix.size())) {
    if (!IsNameCharacter(c) && c != '_') return false;
  }
  return true;
}

inline bool IsKey(std::string_view text) {
  if (const std::optional<unsigned> key = Number(text, 0xFFFF)) return *key != 0;
  if (!text.starts_with(kKeyConstantPrefix) || text.size() == kKeyConstantPrefix.size())
    return false;
  for (const char c : text) {
    if (!IsNameCharacter(c)) return false;
  }
  return true;
}

inline bool IsPackage(std::string_view text) {
  if (text.empty() || !IsLetter(text[0])) return false;
  for (const char c : text) {
    if (!IsNameCharacter(c)) return false;
  }
  return true;
}

inline std::optional<std::array<std::uint8_t, 3>> Colour(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ',');
  if (parts.size() != 3) return std::nullopt;
  std::array<std::uint8_t, 3> colour{};
  for (std::size_t k = 0; k < 3; ++k) {
    const std::optional<unsigned> value = Number(parts[k], 255);
    if (!value) return std::nullopt;
    colour[k] = static_cast<std::uint8_t>(*value);
  }
  return colour;
}

inline std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      constexpr char kHex[] = "0123456789ABCDEF";
      quoted.append("\\x").push_back(kHex[byte >> 4]);
      quoted.push_back(kHex[byte & 0xF]);
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

}  // namespace logo_list

// Reads the rows of a list: blank lines and lines that start with '#' are skipped; every other
// line is a row of four columns separated by one tab each.
inline std::optional<tLogoListError> ReadLogoList(std::string_view text, tLogoList& list) {
  using namespace logo_list;
  list = {};
  if (text.size() > kMaxBytes) return tLogoListError{0, "larger than 1 MiB"};
  std::map<std::string, std::size_t, std::less<>> keyLines, fileLines;
  std::optional<std::size_t> fallbackLine;
  std::vector<std::string_view> lines = Split(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::size_t line = n + 1;
    std::string_view row = lines[n];
    if (row.ends_with('\r')) row.remove_suffix(1);
    if (row.empty() || row.front() == '#') continue;
    auto error = [line](std::string message) { return tLogoListError{line, std::move(message)}; };

    const std::vector<std::string_view> columns = Split(row, '\t');
    if (columns.size() != kColumns) {
      return error("expected 4 columns separated by tabs (file, keys, package, accent), found " +
                   std::to_string(columns.size()));
    }
    tLogoPicture picture;
    picture.Line = line;
    if (!IsFileName(columns[0]))
      return error("file name " + Quoted(columns[0]) + " is not letters, digits and _ then .PNG");
    picture.File = columns[0];
    if (const auto [at, added] = fileLines.emplace(picture.File, line); !added)
      return error("file " + Quoted(picture.File) + " has a row already, on line " +
                   std::to_string(at->second));

    if (columns[1] == kNone) {
      if (fallbackLine)
        return error("a second row for keys without a picture; the first is on line " +
                     std::to_string(*fallbackLine));
      fallbackLine = line;
      list.Fallback = list.Pictures.size();
    } else {
      for (const std::string_view key : Split(columns[1], ',')) {
        if (!IsKey(key))
          return error("key " + Quoted(key) + " is neither a number from 1 to 65535 nor a " +
                       std::string(kKeyConstantPrefix) + "... constant");
        if (const auto [at, added] = keyLines.emplace(std::string(key), line); !added)
          return error("key " + Quoted(key) + " has a picture already, on line " +
                       std::to_string(at->second));
        picture.Keys.emplace_back(key);
      }
    }

    const bool hasPackage = columns[2] != kNone;
    if (hasPackage != (columns[3] != kNone))
      return error("a package and its accent colour go together; give both or neither");
    if (hasPackage) {
      if (!IsPackage(columns[2]))
        return error("package " + Quoted(columns[2]) + " is not a name of letters and digits");
      const std::optional<std::array<std::uint8_t, 3>> accent = Colour(columns[3]);
      if (!accent)
        return error("accent " + Quoted(columns[3]) + " is not red,green,blue from 0 to 255");
      picture.Package = columns[2];
      picture.Accent = *accent;
    }
    list.Pictures.push_back(std::move(picture));
  }
  if (!fallbackLine) return tLogoListError{0, "no row with keys - (the picture of other keys)"};
  return std::nullopt;
}

// Reads the list from a file; the error names the file and the line.
inline std::optional<std::string> ReadLogoListFile(const std::string& path, tLogoList& list) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": cannot be read";
  std::string text;
  text.resize(logo_list::kMaxBytes + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return path + ": cannot be read";
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (const std::optional<tLogoListError> error = ReadLogoList(text, list)) {
    return path + (error->Line == 0 ? "" : ":" + std::to_string(error->Line)) + ": " +
           error->Message;
  }
  return std::nullopt;
}
