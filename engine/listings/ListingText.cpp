#include "engine/listings/ListingText.h"

#include <cstdio>

namespace {

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr std::size_t kMinListingEnd = 40;

}  // namespace

bool tListingLines::Next(std::string_view& line) {
  if (error_ || at_ >= text_.size()) return false;
  ++number_;
  std::size_t end = text_.find('\n', at_);
  const std::size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  if (next > kMaxListingBytes) {
    error_ = tListingError{number_, "the file is larger than " +
                                        std::to_string(kMaxListingBytes / (1024 * 1024)) +
                                        " MiB, more than any listing holds"};
    return false;
  }
  line = text_.substr(at_, end - at_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > kMaxListingLine) {
    error_ = tListingError{number_,
                           "the line is longer than " + std::to_string(kMaxListingLine) + " bytes"};
    return false;
  }
  at_ = next;
  return true;
}

std::string_view FirstSignificantLine(std::string_view text) {
  tListingLines lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    tFieldCursor cursor(line);
    cursor.SkipBlanks();
    if (!cursor.AtEnd()) return cursor.Rest();
  }
  return {};
}

bool IsBlank(std::string_view line) {
  for (const char c : line) {
    if (!IsBlankChar(c)) return false;
  }
  return true;
}

bool IsListingEnd(std::string_view line) {
  return line.size() >= kMinListingEnd && line.find_first_not_of('-') == std::string_view::npos;
}

bool tFieldCursor::SkipBlanks() {
  std::size_t n = 0;
  while (n < rest_.size() && IsBlankChar(rest_[n]))
    ++n;
  rest_.remove_prefix(n);
  return n > 0;
}

bool tFieldCursor::Take(std::string_view literal) {
  if (rest_.substr(0, literal.size()) != literal) return false;
  rest_.remove_prefix(literal.size());
  return true;
}

bool tFieldCursor::TakeHex(std::size_t minDigits, std::size_t maxDigits, std::uint32_t& value) {
  std::uint32_t v = 0;
  std::size_t n = 0;
  while (n < maxDigits && n < 8 && n < rest_.size()) {
    const int digit = HexDigit(rest_[n]);
    if (digit < 0) break;
    v = v << 4 | static_cast<std::uint32_t>(digit);
    ++n;
  }
  if (n < minDigits) return false;
  value = v;
  rest_.remove_prefix(n);
  return true;
}

bool tFieldCursor::TakeDecimal(std::uint32_t& value) {
  std::uint32_t v = 0;
  std::size_t n = 0;
  while (n < 9 && n < rest_.size() && rest_[n] >= '0' && rest_[n] <= '9') {
    v = v * 10 + static_cast<std::uint32_t>(rest_[n] - '0');
    ++n;
  }
  if (n == 0) return false;
  value = v;
  rest_.remove_prefix(n);
  return true;
}

std::string PairName(std::uint32_t leaf, std::uint32_t subLeaf) {
  char text[48];
  std::snprintf(text, sizeof text, "leaf 0x%08X sub-leaf %u", leaf, subLeaf);
  return text;
}

void tListedProcessors::StartProcessor(int osCpu) {
  if (processors_.empty() || !processors_.back().Empty()) {
    processors_.emplace_back();
    lines_.emplace_back();
  }
  processors_.back().OsCpu = osCpu;
}

std::optional<tListingError> tListedProcessors::Add(std::size_t line, std::uint32_t leaf,
                                                    std::uint32_t subLeaf,
                                                    const tCPUIDResult& result) {
  if (processors_.empty()) StartProcessor();
  tCpuidStore& store = processors_.back();
  if (store.Empty() && processors_.size() > kMaxListedProcessors) {
    return tListingError{
        line, "more than " + std::to_string(kMaxListedProcessors) + " processors in one file"};
  }
  // A line repeated word for word says the same thing again; another answer contradicts it.
  if (const tCPUIDResult* listed = store.Find(leaf, subLeaf)) {
    if (*listed == result) return std::nullopt;
    return tListingError{line, PairName(leaf, subLeaf) + " has other registers than on line " +
                                   std::to_string(lines_.back()[{leaf, subLeaf}]) +
                                   " for the same processor"};
  }
  if (store.Size() == kMaxListedAnswers) {
    return tListingError{
        line, "more than " + std::to_string(kMaxListedAnswers) + " answers for one processor"};
  }
  store.Put(leaf, subLeaf, result);
  lines_.back()[{leaf, subLeaf}] = line;
  return std::nullopt;
}

const tCpuidStore& tListedProcessors::Current() const {
  static const tCpuidStore kNone;
  return processors_.empty() ? kNone : processors_.back();
}

tListingRead tListedProcessors::Finish(std::string_view noAnswersReason) {
  if (!processors_.empty() && processors_.back().Empty()) {
    processors_.pop_back();
    lines_.pop_back();
  }
  if (processors_.empty()) return tListingError{1, std::string(noAnswersReason)};
  return std::move(processors_);
}
