#include "app/Utf8Text.h"

#include "engine/store/Windows1252.h"

std::string TrimmedUtf8Of1252(std::string_view text) {
  constexpr std::string_view kPadding(" \0", 2);
  const std::size_t first = text.find_first_not_of(kPadding);
  if (first == std::string_view::npos) return "";
  const std::size_t last = text.find_last_not_of(kPadding);
  constexpr char32_t kReplacement = 0xFFFD;
  std::string utf8;
  for (const char c : text.substr(first, last - first + 1)) {
    const char32_t cp = CodePointOf1252(static_cast<unsigned char>(c));
    AppendUtf8(utf8, IsControlCharacter(cp) ? kReplacement : cp);
  }
  return utf8;
}
