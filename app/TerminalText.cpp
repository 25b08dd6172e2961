#include "app/TerminalText.h"

#include <cstdint>

namespace {

bool Continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the printable UTF-8 character that starts at `at`; 0 when the bytes there are
// not UTF-8 or encode a C1 control character.
std::size_t PrintableCharacter(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t lowest = 0;  // shorter forms of a character are not UTF-8
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (!Continuation(byte(k))) return 0;
    code = (code << 6) | (byte(k) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  const bool c1Control = code >= 0x80 && code <= 0x9F;
  if (code < lowest || code > 0x10FFFF || surrogate || c1Control) return 0;
  return length;
}

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

}  // namespace

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\\' || byte == '\'') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += static_cast<char>(byte);
    } else if (const std::size_t length = byte >= 0x80 ? PrintableCharacter(text, at) : 0) {
      out.append(text.substr(at, length));
      at += length - 1;
    } else {
      AppendEscaped(out, byte);
    }
  }
  return out + "'";
}

bool PrintableUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte < 0x20 || byte == 0x7F) return false;
      ++at;
      continue;
    }
    const std::size_t length = PrintableCharacter(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}
