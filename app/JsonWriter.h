// A small writer of JSON text: objects and arrays with their commas and indentation, texts
// escaped, floating-point numbers in their shortest round-trip form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class tJsonWriter {
 public:
  // Lines: each member on a line of its own. Inline: the whole container on one line, and
  // every container inside it too.
  enum class tLayout { Lines, Inline };

  tJsonWriter& BeginObject(tLayout layout = tLayout::Lines);
  tJsonWriter& EndObject();
  tJsonWriter& BeginArray(tLayout layout = tLayout::Lines);
  tJsonWriter& EndArray();
  // The name of the next member of the current object.
  tJsonWriter& Key(std::string_view name);
  tJsonWriter& Unsigned(std::uint64_t value);
  tJsonWriter& Signed(std::int64_t value);
  tJsonWriter& Double(double value);
  tJsonWriter& Single(float value);
  tJsonWriter& Boolean(bool value);
  // null: a value that is not known.
  tJsonWriter& Null();
  // A text already in UTF-8.
  tJsonWriter& Utf8Text(std::string_view text);
  // A single-byte Windows-1252 text; control characters, NUL included, become \u escapes.
  tJsonWriter& Text1252(std::string_view text);

  // The document, ended by a line break.
  std::string Finish();

 private:
  void BeforeValue();
  struct tOpen {
    bool lines;
    bool has_members;
  };

  void Open(char bracket, tLayout layout);
  void Close(char bracket);
  void NewLine();
  void Raw(std::string_view text) { out_.append(text); }

  std::string out_;
  std::vector<tOpen> open_;
  bool after_key_ = false;
};
