#include "engine/listings/RegisterListing.h"

#include <array>

#include "engine/store/Leaves.h"

namespace {

constexpr std::string_view kSectionOpen = "------[";
constexpr std::string_view kSectionClose = "]------";

enum class tLineKind { Other, ProcessorHeading, OtherSection, End };

// "------[ CPUID Registers / Logical CPU #n ]------" (or "... #n Virtual ]------") and
// "------[ Logical CPU #n ]------" head a processor; any other "------[ ... ]------" heads a
// section that is not CPUID data.
tLineKind SectionKind(std::string_view line) {
  tFieldCursor cursor(line);
  cursor.Take(kSectionOpen);
  cursor.SkipBlanks();
  if (cursor.Take("CPUID Registers /")) cursor.SkipBlanks();
  std::uint32_t number = 0;
  return cursor.Take("Logical CPU #") && cursor.TakeDecimal(number) ? tLineKind::ProcessorHeading
                                                                    : tLineKind::OtherSection;
}

// The headings of older listings: "CPU#000 AffMask: 0x00000001",
// "CPUID Registers (CPU #0):" and "Group: 0x00 Affinity mask: 0x0000000000000001".
bool IsOlderHeading(std::string_view line) {
  tFieldCursor cursor(line);
  std::uint32_t number = 0;
  if (cursor.Take("CPU#")) {
    return cursor.TakeDecimal(number) && cursor.SkipBlanks() && cursor.Take("AffMask:");
  }
  if (cursor.Take("CPUID Registers (CPU #")) {
    return cursor.TakeDecimal(number) && cursor.Take("):");
  }
  return cursor.Take("Group:") && line.find("Affinity mask:") != std::string_view::npos;
}

tLineKind KindOf(std::string_view line) {
  if (line.substr(0, kSectionOpen.size()) == kSectionOpen &&
      line.find(kSectionClose) != std::string_view::npos) {
    return SectionKind(line);
  }
  if (IsOlderHeading(line)) return tLineKind::ProcessorHeading;
  if (IsListingEnd(line)) return tLineKind::End;
  return tLineKind::Other;
}

// A register separator: "-" or blanks.
bool TakeRegisterGap(tFieldCursor& cursor) {
  return cursor.Take("-") || cursor.SkipBlanks();
}

struct tAnswer {
  std::uint32_t Leaf = 0;
  std::optional<std::uint32_t> SubLeaf;  // from "[SL nn]"
  tCPUIDResult Result;
};

// The line after "CPUID" and the leaf's 8 digits. False when it is not an answer.
bool ReadRegisters(tFieldCursor cursor, tAnswer& answer) {
  const bool colon = cursor.Take(":");
  if (!cursor.SkipBlanks() && !colon) return false;
  std::array<std::uint32_t*, 4> registers{&answer.Result.EAX, &answer.Result.EBX,
                                          &answer.Result.ECX, &answer.Result.EDX};
  for (std::size_t r = 0; r < registers.size(); ++r) {
    if (r > 0 && !TakeRegisterGap(cursor)) return false;
    if (!cursor.TakeHex(8, 8, *registers[r])) return false;
  }
  if (!cursor.SkipBlanks() && !cursor.AtEnd()) return false;
  // The comments that follow; the first "[SL " gives the sub-leaf.
  const std::string_view comments = cursor.Rest();
  const std::size_t mark = comments.find("[SL ");
  if (mark == std::string_view::npos) return true;
  tFieldCursor sub(comments.substr(mark + 4));
  std::uint32_t subLeaf = 0;
  if (!sub.TakeHex(1, 8, subLeaf) || !sub.Take("]")) return false;
  answer.SubLeaf = subLeaf;
  return true;
}

class tRegisterReader {
 public:
  explicit tRegisterReader(std::string_view text) : lines_(text) {}

  tListingRead Read() {
    std::string_view line;
    while (lines_.Next(line)) {
      switch (KindOf(line)) {
        case tLineKind::ProcessorHeading:
          processors_.StartProcessor();
          inCpuid_ = true;
          break;
        case tLineKind::OtherSection:
          inCpuid_ = false;
          break;
        case tLineKind::End:
          return processors_.Finish(kNoAnswers);
        default:
          if (!inCpuid_) break;
          if (auto error = Answer(line)) return *error;
      }
    }
    if (lines_.Error()) return *lines_.Error();
    return processors_.Finish(kNoAnswers);
  }

 private:
  static constexpr std::string_view kNoAnswers =
      "not a CPUID listing: no line of a known listing format was found";

  std::optional<tListingError> Answer(std::string_view line) {
    tFieldCursor cursor(line);
    tAnswer answer;
    // Other lines that start with "CPUID" ("CPUID Revision : ...") are no answers.
    if (!cursor.Take("CPUID") || !cursor.SkipBlanks() || !cursor.TakeHex(8, 8, answer.Leaf)) {
      return std::nullopt;
    }
    if (!ReadRegisters(cursor, answer)) {
      return tListingError{lines_.Number(),
                           "expected an answer \"CPUID LLLLLLLL: EAX-EBX-ECX-EDX\" with four "
                           "8-digit registers and an optional \"[SL nn]\""};
    }
    const tCpuidStore& current = processors_.Current();
    std::uint32_t subLeaf = 0;
    if (answer.SubLeaf) {
      subLeaf = *answer.SubLeaf;
    } else if (answer.Leaf == kLeafStandardBase && current.Has(kLeafStandardBase)) {
      processors_.StartProcessor();
    } else {
      subLeaf = static_cast<std::uint32_t>(current.SubLeaves(answer.Leaf).size());
    }
    return processors_.Add(lines_.Number(), answer.Leaf, subLeaf, answer.Result);
  }

  tListingLines lines_;
  tListedProcessors processors_;
  bool inCpuid_ = true;  // a listing without headings is all answers
};

}  // namespace

tListingRead ReadRegisterListing(std::string_view text) {
  return tRegisterReader(text).Read();
}
