// Conversion of the program's single-byte Windows-1252 texts to Unicode, for the places
// where texts leave the program (the window, the reports).
#pragma once

#include <string>

// The Unicode code point of a Windows-1252 byte. The five bytes without a character
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same number.
char32_t CodePointOf1252(unsigned char byte);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// C0 and C1 control characters and DEL: what a display or a JSON text must not pass on.
constexpr bool IsControlCharacter(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}
