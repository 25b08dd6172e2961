// What every reader of CPUID listings shares: the bounds that keep a hostile file from
// costing more than a real one, the walk over a text's lines, the reading of the fields of a
// line, and the collection of the processors a listing holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "engine/store/CpuidStore.h"

// A listing of 4096 processors with every leaf and sub-leaf, sections the readers skip
// included, stays well below these bounds.
inline constexpr std::size_t kMaxListingBytes = 32 * 1024 * 1024;
inline constexpr std::size_t kMaxListingLine = 4096;       // bytes of one line, its break excluded
inline constexpr std::size_t kMaxListedProcessors = 4096;  // processors of one file
inline constexpr std::size_t kMaxListedAnswers = 4096;  // (leaf, sub-leaf) pairs of one processor

struct tListingError {
  std::size_t Line = 0;  // 1-based
  std::string Reason;
};

// The processors of a listing in the order listed, or why the text is not a listing.
using tListingRead = std::variant<std::vector<tCpuidStore>, tListingError>;

// The lines of a text one at a time, without their line break (LF or CR LF). The walk stops
// with an error at a line longer than kMaxListingLine or reaching past kMaxListingBytes.
class tListingLines {
 public:
  explicit tListingLines(std::string_view text) : text_(text) {}

  // The next line; false at the end of the text and at a line past a bound (see Error).
  bool Next(std::string_view& line);
  // The number of the line Next returned last (of the offending line after an error).
  std::size_t Number() const { return number_; }
  const std::optional<tListingError>& Error() const { return error_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t number_ = 0;
  std::optional<tListingError> error_;
};

// The first line of `text` that holds more than blanks, without leading blanks; empty when
// there is none.
std::string_view FirstSignificantLine(std::string_view text);

// True for a line that holds only blanks (spaces and tabs).
bool IsBlank(std::string_view line);

// True for a line of at least 40 '-' and nothing else, which ends the listing of a test file
// (the expected values follow it).
bool IsListingEnd(std::string_view line);

// A reader of the fields of one line, from left to right. Every Take* call consumes what it
// matched and returns false (consuming nothing) when the text there does not match.
class tFieldCursor {
 public:
  explicit tFieldCursor(std::string_view line) : rest_(line) {}

  // Spaces and tabs; true when there was at least one.
  bool SkipBlanks();
  bool Take(std::string_view literal);
  // `minDigits` to `maxDigits` hexadecimal digits of either case (at most 8).
  bool TakeHex(std::size_t minDigits, std::size_t maxDigits, std::uint32_t& value);
  // 1 to 9 decimal digits.
  bool TakeDecimal(std::uint32_t& value);
  bool AtEnd() const { return rest_.empty(); }
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

// Leaf and sub-leaf as the errors name them: "leaf 0x00000004 sub-leaf 1".
std::string PairName(std::uint32_t leaf, std::uint32_t subLeaf);

// The processors of a listing as its reader finds them. A processor whose heading lists no
// answers is dropped. A pair listed again for one processor with the same registers is the
// same answer; with other registers, and a listing past the bounds on processors or answers,
// it is an error (naming the line of each answer).
class tListedProcessors {
 public:
  // Ends the processor being listed (dropped when it has no answers) and starts the next,
  // with the operating system's number its heading gives (-1: none).
  void StartProcessor(int osCpu = -1);
  // Adds an answer listed on line `line` to the processor being listed.
  std::optional<tListingError> Add(std::size_t line, std::uint32_t leaf, std::uint32_t subLeaf,
                                   const tCPUIDResult& result);
  // The processor being listed (empty before its first answer).
  const tCpuidStore& Current() const;
  // Every processor that has answers, or an error on line 1 when none has.
  tListingRead Finish(std::string_view noAnswersReason);

 private:
  std::vector<tCpuidStore> processors_;
  // The line of each answer of each processor, by (leaf, sub-leaf).
  std::vector<std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t>> lines_;
};
