#include "app/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "engine/store/Windows1252.h"

namespace {

void AppendEscaped(std::string& out, char32_t cp) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (cp) {
    case '"':
      out.append("\\\"");
      return;
    case '\\':
      out.append("\\\\");
      return;
    default:
      break;
  }
  if (!IsControlCharacter(cp)) {
    AppendUtf8(out, cp);
    return;
  }
  out.append("\\u00");
  out.push_back(kHex[(cp >> 4) & 0xF]);
  out.push_back(kHex[cp & 0xF]);
}

// Printable ASCII other than the quote and the backslash: a byte that stands for itself.
bool PlainAscii(unsigned char byte) {
  return byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
}

// Appends `text`, each run of bytes that `plain` accepts in one step and every other byte
// through `other`.
template <typename tPlain, typename tOther>
void AppendRuns(std::string& out, std::string_view text, tPlain plain, tOther other) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const auto byte = static_cast<unsigned char>(text[k]);
    if (plain(byte)) continue;
    out.append(text.substr(start, k - start));
    other(byte);
    start = k + 1;
  }
  out.append(text.substr(start));
}

template <typename Float>
std::string ShortestForm(Float value) {
  // Non-finite values have no JSON form; the clock records never hold them.
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".e") == std::string::npos) text.append(".0");
  return text;
}

}  // namespace

void tJsonWriter::NewLine() {
  out_.push_back('\n');
  out_.append(2 * open_.size(), ' ');
}

void tJsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (open_.empty()) return;
  tOpen& container = open_.back();
  if (container.has_members) out_.push_back(',');
  if (container.lines) {
    NewLine();
  } else if (container.has_members) {
    out_.push_back(' ');
  }
  container.has_members = true;
}

void tJsonWriter::Open(char bracket, tLayout layout) {
  BeforeValue();
  out_.push_back(bracket);
  const bool insideInline = !open_.empty() && !open_.back().lines;
  open_.push_back({layout == tLayout::Lines && !insideInline, false});
}

void tJsonWriter::Close(char bracket) {
  const tOpen closed = open_.back();
  open_.pop_back();
  if (closed.lines && closed.has_members) NewLine();
  out_.push_back(bracket);
}

tJsonWriter& tJsonWriter::BeginObject(tLayout layout) {
  Open('{', layout);
  return *this;
}
tJsonWriter& tJsonWriter::EndObject() {
  Close('}');
  return *this;
}
tJsonWriter& tJsonWriter::BeginArray(tLayout layout) {
  Open('[', layout);
  return *this;
}
tJsonWriter& tJsonWriter::EndArray() {
  Close(']');
  return *this;
}

tJsonWriter& tJsonWriter::Key(std::string_view name) {
  Utf8Text(name);
  out_.append(": ");
  after_key_ = true;
  return *this;
}

tJsonWriter& tJsonWriter::Unsigned(std::uint64_t value) {
  BeforeValue();
  Raw(std::to_string(value));
  return *this;
}

tJsonWriter& tJsonWriter::Signed(std::int64_t value) {
  BeforeValue();
  Raw(std::to_string(value));
  return *this;
}

tJsonWriter& tJsonWriter::Null() {
  BeforeValue();
  Raw("null");
  return *this;
}

tJsonWriter& tJsonWriter::Double(double value) {
  BeforeValue();
  Raw(ShortestForm(value));
  return *this;
}

tJsonWriter& tJsonWriter::Single(float value) {
  BeforeValue();
  Raw(ShortestForm(value));
  return *this;
}

tJsonWriter& tJsonWriter::Boolean(bool value) {
  BeforeValue();
  Raw(value ? "true" : "false");
  return *this;
}

tJsonWriter& tJsonWriter::Utf8Text(std::string_view text) {
  BeforeValue();
  out_.push_back('"');
  // Bytes from 0x80 on belong to UTF-8 sequences and pass unchanged.
  AppendRuns(
      out_, text, [](unsigned char byte) { return byte >= 0x80 || PlainAscii(byte); },
      [this](unsigned char byte) { AppendEscaped(out_, byte); });
  out_.push_back('"');
  return *this;
}

tJsonWriter& tJsonWriter::Text1252(std::string_view text) {
  BeforeValue();
  out_.push_back('"');
  AppendRuns(out_, text, PlainAscii,
             [this](unsigned char byte) { AppendEscaped(out_, CodePointOf1252(byte)); });
  out_.push_back('"');
  return *this;
}

std::string tJsonWriter::Finish() {
  out_.push_back('\n');
  return std::move(out_);
}
