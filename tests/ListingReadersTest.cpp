// The readers of CPUID listings on the variants of each format, the errors they give (and on
// which line), the bounds every reader keeps, the recognition of the format from the text,
// and the full dump read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/listings/CpuidDump.h"
#include "engine/listings/CpuidToolListing.h"
#include "engine/listings/FullDump.h"
#include "engine/listings/LibcpuidRawListing.h"
#include "engine/listings/Listings.h"
#include "engine/listings/RegisterListing.h"
#include "tests/support/ListingErrors.h"

namespace {

// One answer of an expected processor.
struct tWant {
  std::uint32_t Leaf, SubLeaf, EAX, EBX, ECX, EDX;
};
using tProcessorWant = std::vector<tWant>;

std::vector<tProcessorWant> Flatten(const std::vector<tCpuidStore>& stores) {
  std::vector<tProcessorWant> all;
  for (const tCpuidStore& store : stores) {
    tProcessorWant processor;
    for (const tCpuidEntry& e : store.Entries()) {
      processor.push_back(
          {e.Leaf, e.SubLeaf, e.Result.EAX, e.Result.EBX, e.Result.ECX, e.Result.EDX});
    }
    all.push_back(processor);
  }
  return all;
}

bool operator==(const tWant& a, const tWant& b) {
  return a.Leaf == b.Leaf && a.SubLeaf == b.SubLeaf && a.EAX == b.EAX && a.EBX == b.EBX &&
         a.ECX == b.ECX && a.EDX == b.EDX;
}

std::ostream& operator<<(std::ostream& out, const tWant& w) {
  return out << std::hex << w.Leaf << "." << w.SubLeaf << "=" << w.EAX << "," << w.EBX << ","
             << w.ECX << "," << w.EDX;
}

struct tReadCase {
  const char* Name;
  std::string Text;
  std::vector<tProcessorWant> Want;
};

void ExpectReads(tListingRead (*reader)(std::string_view), const std::vector<tReadCase>& cases) {
  for (const tReadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const tListingRead read = reader(c.Text);
    if (const auto* error = std::get_if<tListingError>(&read)) {
      ADD_FAILURE() << "line " << error->Line << ": " << error->Reason;
      continue;
    }
    EXPECT_EQ(Flatten(std::get<std::vector<tCpuidStore>>(read)), c.Want);
  }
}

const tWant kVendor{0, 0, 0xD, 0x68747541, 0x444D4163, 0x69746E65};
const tWant kSignature{1, 0, 0xB00F21, 0x57FE0800, 0xFED83203, 0x178BFBFF};
const tWant kCache0{4, 0, 0x4121, 0x1C0003F, 0x3F, 0};
const tWant kCache1{4, 1, 0x4122, 0x1C0003F, 0x3F, 0};

std::string WithCrLf(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
    text.insert(at, "\r");
  return text;
}

TEST(CpuidToolListingTest, ReadsEveryVariantThatToolWritesOrReads) {
  const std::string lines =
      "   0x00000000 0x00: eax=0x0000000d ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
      "   0x00000001 0x00: eax=0x00b00f21 ebx=0x57fe0800 ecx=0xfed83203 edx=0x178bfbff\n";
  const std::string cache =
      "   0x00000004 0x00: eax=0x00004121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
      "   0x00000004 0x01: eax=0x00004122 ebx=0x01C0003F ecx=0x0000003F edx=0x00000000\n";
  ExpectReads(
      ReadCpuidToolListing,
      {
          {"one processor", "CPU:\n" + lines + cache, {{kVendor, kSignature, kCache0, kCache1}}},
          {"no heading", lines, {{kVendor, kSignature}}},
          {"numbered, blank lines between",
           "CPU 0:\n" + lines + "\nCPU 1:\n" + cache,
           {{kVendor, kSignature}, {kCache0, kCache1}}},
          {"CR LF", WithCrLf("CPU 0:\n" + lines), {{kVendor, kSignature}}},
          {"no sub-leaf column, upper case",
           "CPU 7:\n   0x00000001: eax=0x00B00F21 ebx=0x57FE0800 ecx=0xFED83203 edx=0x178BFBFF\n",
           {{kSignature}}},
          {"headings without answers are dropped",
           "CPU 0:\nCPU 1:\n" + lines + "CPU 2:\n",
           {{kVendor, kSignature}}},
          {"sub-leaf past two digits",
           "\t0x0000000d 0x100: eax=0x00000001 ebx=0x00000002 ecx=0x00000003 edx=0x00000004  \n",
           {{{0xD, 0x100, 1, 2, 3, 4}}}},
          {"a line repeated word for word is the same answer",
           "CPU 0:\n" + lines + cache + lines + "CPU 1:\n" + lines,
           {{kVendor, kSignature, kCache0, kCache1}, {kVendor, kSignature}}},
      });
}

TEST(CpuidToolListingTest, EachProcessorKeepsTheNumberOfItsHeading) {
  const std::string answer =
      "   0x00000000 0x00: eax=0x0000000d ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n";
  struct tCase {
    const char* Label;
    std::string Text;
    std::vector<int> Numbers;
  } const cases[] = {
      {"numbered out of order", "CPU 7:\n" + answer + "CPU 3:\n" + answer, {7, 3}},
      {"nine digits", "CPU 123456789:\n" + answer, {123456789}},
      {"unnumbered", "CPU:\n" + answer + "CPU:\n" + answer, {-1, -1}},
      {"no heading", answer, {-1}},
      {"a heading without answers gives its number to none", "CPU 4:\nCPU 5:\n" + answer, {5}},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const tListingRead read = ReadCpuidToolListing(c.Text);
    ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read));
    std::vector<int> numbers;
    for (const tCpuidStore& store : std::get<std::vector<tCpuidStore>>(read))
      numbers.push_back(store.OsCpu);
    EXPECT_EQ(numbers, c.Numbers);
  }
}

TEST(CpuidToolListingTest, RefusesWhatThatToolDoesNotWrite) {
  const std::string good =
      "   0x00000000 0x00: eax=0x0000000d ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n";
  ExpectErrors(ReadCpuidToolListing,
               {
                   {"a comment", "CPU 0:\n" + good + "# comment\n", 3, "expected \"CPU n:\""},
                   {"a short register",
                    "CPU 0:\n   0x00000001 0x00: eax=0x1 ebx=0x0 ecx=0x0 edx=0x0\n", 2, "expected"},
                   {"a register missing", "   0x00000001 0x00: eax=0x00000001 ebx=0x00000000\n", 1,
                    "expected"},
                   {"text after the registers",
                    "CPU 0:\n" + good.substr(0, good.size() - 1) + " x\n", 2, "expected"},
                   {"a pair answered twice, differently",
                    "CPU 0:\n" + good + "\n" + good.substr(0, good.size() - 2) + "4\n", 4,
                    "leaf 0x00000000 sub-leaf 0 has other registers than on line 2"},
                   {"headings only", "CPU 0:\nCPU 1:\n", 1, "holds no answers"},
               });
}

TEST(RegisterListingTest, ReadsEveryVariantOfTheCollections) {
  const std::string signature = "CPUID 00000001: 00B00F21-57FE0800-FED83203-178BFBFF\n";
  const std::string current =
      "CPUID 00000000: 0000000D-68747541-444D4163-69746E65 [AuthenticAMD]\n" + signature;
  ExpectReads(ReadRegisterListing,
              {
                  {"no heading, comments", current, {{kVendor, kSignature}}},
                  {"colon without blank, lower case",
                   "CPUID 00000000:0000000d-68747541-444d4163-69746e65\n",
                   {{kVendor}}},
                  {"blanks and a tab after the leaf",
                   "CPUID 00000000  \t0000000D-68747541-444D4163-69746E65\n",
                   {{kVendor}}},
                  {"registers apart by blanks",
                   "CPUID 00000000: 0000000D 68747541 444D4163 69746E65\n",
                   {{kVendor}}},
                  {"[SL nn] in hexadecimal, among comments",
                   "CPUID 00000004: 00004121-01C0003F-0000003F-00000000 [L1D: 32 KB] [SL 00]\n"
                   "CPUID 0000000D: 00000001-00000002-00000003-00000004 [SL 1A]\n",
                   {{kCache0, {0xD, 0x1A, 1, 2, 3, 4}}}},
                  {"a leaf listed again lists its next sub-leaf",
                   "CPUID 00000004: 00004121-01C0003F-0000003F-00000000\n"
                   "CPUID 00000004: 00004122-01C0003F-0000003F-00000000\n",
                   {{kCache0, kCache1}}},
                  {"leaf 0 listed again opens the next processor",
                   current + "\n" + current,
                   {{kVendor, kSignature}, {kVendor, kSignature}}},
                  // Each processor without leaf 0, which would open the next one by itself.
                  {"every kind of heading",
                   "------[ CPUID Registers / Logical CPU #0 ]------\n" + signature +
                       "------[ CPUID Registers / Logical CPU #1 Virtual ]------\n" + signature +
                       "------[ Logical CPU #2 ]------\n" + signature +
                       "CPU#003 AffMask: 0x00000008\n" + signature + "CPUID Registers (CPU #4):\n" +
                       signature + "Group: 0x00 Affinity mask: 0x0000000000000020\n" + signature,
                   std::vector<tProcessorWant>(6, {kSignature})},
                  {"other sections are skipped unread",
                   "------[ Versions ]------\nCPUID 00000000: garbage\n"
                   "------[ CPUID Registers / Logical CPU #0 ]------\n" +
                       current +
                       "------[ MSR Registers / Logical CPU #0 ]------\n"
                       "CPUID 00000007: 00000000-00000000-00000000-00000000\n"
                       "CPUID 00000008: broken\n",
                   {{kVendor, kSignature}}},
                  {"other lines are skipped",
                   "CPUID Revision    : 00B00F21h\nallcpu: Package 0 / Core 0\n" + current +
                       "L1 Data Cache: 48 KB\n",
                   {{kVendor, kSignature}}},
                  {"headings without answers are dropped",
                   "------[ Logical CPU #0 ]------\n" + current +
                       "------[ Logical CPU #1 ]------\n------[ Logical CPU #2 ]------\n" + current,
                   {{kVendor, kSignature}, {kVendor, kSignature}}},
                  {"a line of dashes ends the listing",
                   WithCrLf(current + std::string(80, '-') + "\nCPUID 00000002: zz\n"),
                   {{kVendor, kSignature}}},
                  {"a sub-leaf line repeated word for word is the same answer",
                   current + "CPUID 0000000D: 00000001-00000002-00000003-00000004 [SL 01]\n"
                             "CPUID 0000000D: 00000001-00000002-00000003-00000004 [SL 01]\n",
                   {{kVendor, kSignature, {0xD, 1, 1, 2, 3, 4}}}},
              });
}

TEST(RegisterListingTest, RefusesAnswersThatDoNotGoOnAsAnswers) {
  ExpectErrors(
      ReadRegisterListing,
      {
          {"a short register", "CPUID 00000000: 0000000D-68747541-444D4163-69746E6\n", 1,
           "expected an answer"},
          {"a register missing", "\nCPUID 00000000: 0000000D-68747541-444D4163\n", 2,
           "expected an answer"},
          {"no separator after the leaf", "CPUID 000000000000000D-68747541-444D4163-69746E65\n", 1,
           "expected an answer"},
          {"text right after the registers",
           "CPUID 00000000: 0000000D-68747541-444D4163-69746E65x\n", 1, "expected an answer"},
          {"a sub-leaf that is no number",
           "CPUID 00000004: 00004121-01C0003F-0000003F-00000000 [SL x1]\n", 1,
           "expected an answer"},
          {"a sub-leaf answered twice, differently",
           "CPUID 00000004: 00004121-01C0003F-0000003F-00000000 [SL 00]\n"
           "CPUID 00000001: 00B00F21-57FE0800-FED83203-178BFBFF\n"
           "CPUID 00000004: 00004121-01C0003F-0000003F-00000001 [SL 00]\n",
           3, "leaf 0x00000004 sub-leaf 0 has other registers than on line 1"},
          {"no answers", "------[ Versions ]------\nProgram Version : 1\n", 1,
           "not a CPUID listing"},
          {"answers only in other sections",
           "------[ MSR Registers ]------\nCPUID 00000000: 0000000D-68747541-444D4163-69746E65\n",
           1, "not a CPUID listing"},
      });
}

TEST(LibcpuidRawListingTest, MapsEveryArrayAndLeavesOutWhatLiesAboveTheMaximum) {
  const std::string basic =
      "basic_cpuid[0]=00000004 68747541 444d4163 69746e65\n"
      "basic_cpuid[1]=00b00f21 57fe0800 fed83203 178bfbff\n"
      "basic_cpuid[4]=00000000 00000000 00000000 00000000\n"
      "basic_cpuid[5]=00000005 00000005 00000005 00000005\n"
      "ext_cpuid[0]=80000002 68747541 444d4163 69746e65\n"
      "ext_cpuid[2]=00000001 00000002 00000003 00000004\n"
      "ext_cpuid[3]=00000009 00000009 00000009 00000009\n"
      "intel_fn4[0]=00004121 01c0003f 0000003f 00000000\n"
      "intel_fn4[1]=00004122 01c0003f 0000003f 00000000\n"
      "intel_fn11[0]=00000001 00000002 00000100 00000000\n";
  const tWant vendor{0, 0, 4, 0x68747541, 0x444D4163, 0x69746E65};
  const tProcessorWant kept{vendor,
                            kSignature,
                            kCache0,
                            kCache1,
                            {0x80000000, 0, 0x80000002, 0x68747541, 0x444D4163, 0x69746E65},
                            {0x80000002, 0, 1, 2, 3, 4}};
  ExpectReads(
      ReadLibcpuidRawListing,
      {
          {"one processor, with a version", "version=0.6.2\n\n" + basic, {kept}},
          {"processors under headings, CR LF",
           WithCrLf("Version=0.5.1\n_________________ Logical CPU #0 _________________\n" + basic +
                    "\n_________________ Logical CPU #1 _________________\n" + basic),
           {kept, kept}},
          {"unknown arrays are skipped, a line of dashes ends it",
           "amd_fn80000042h[0]=00000001 00000002 00000003 00000004\n" + basic +
               std::string(80, '-') + "\nx86_64\n",
           {kept}},
          {"no maximum: only the first leaf of the range",
           "basic_cpuid[1]=00b00f21 57fe0800 fed83203 178bfbff\n"
           "ext_cpuid[0]=80000001 00000000 00000000 00000000\n"
           "amd_fn8000001dh[0]=00000121 01c0003f 0000003f 00000000\n",
           {{{0x80000000, 0, 0x80000001, 0, 0, 0}}}},
          {"the arrays of sub-leaves, up to the maximum",
           "basic_cpuid[0]=0000000b 00000000 00000000 00000000\n"
           "ext_cpuid[0]=80000026 00000000 00000000 00000000\n"
           "intel_fn12h[0]=00000001 00000000 00000000 00000000\n"
           "intel_fn11[1]=00000002 00000000 00000000 00000000\n"
           "amd_fn8000001dh[2]=00000003 00000000 00000000 00000000\n"
           "amd_fn80000026h[3]=00000004 00000000 00000000 00000000\n",
           {{{0, 0, 0xB, 0, 0, 0},
             {0xB, 1, 2, 0, 0, 0},
             {0x80000000, 0, 0x80000026, 0, 0, 0},
             {0x8000001D, 2, 3, 0, 0, 0},
             {0x80000026, 3, 4, 0, 0, 0}}}},
          {"an entry repeated word for word is the same answer", basic + basic, {kept}},
      });
}

TEST(LibcpuidRawListingTest, RefusesLinesThatAreNoEntries) {
  const std::string good = "basic_cpuid[0]=00000004 68747541 444d4163 69746e65\n";
  ExpectErrors(
      ReadLibcpuidRawListing,
      {
          {"a short register", good + "basic_cpuid[1]=00b00f21 57fe0800 fed8320 0\n", 2,
           "expected an entry"},
          {"an index past any array", good + "basic_cpuid[256]=0 0 0 0\n", 2, "expected an entry"},
          {"a version after the entries", good + "version=0.6.2\n", 2, "expected an entry"},
          {"an entry answered twice, differently",
           good + "basic_cpuid[0]=00000004 68747541 444d4163 69746e66\n", 2,
           "leaf 0x00000000 sub-leaf 0 has other registers than on line 1"},
          {"only a version", "version=0.6.2\n", 1, "holds no entries"},
      });
}

const std::string kRawLeaf0 = "basic_cpuid[0]=00000003 00000000 00000000 00000000\n";

// Text of `count` lines of `cpuid -r` answers, sub-leaf 0 of leaves 0, 1, ...
std::string Answers(std::size_t count, std::uint32_t subLeaf = 0) {
  std::string text;
  char line[96];
  for (std::size_t k = 0; k < count; ++k) {
    std::snprintf(line, sizeof line,
                  "   0x%08zx 0x%02x: eax=0x00000000 ebx=0x00000000 ecx=0x00000000 "
                  "edx=0x00000000\n",
                  k, subLeaf);
    text += line;
  }
  return text;
}

TEST(ListingBoundsTest, EveryReaderStopsAtTheBoundsWithTheLineOfTheExcess) {
  std::string processors;
  for (std::size_t k = 0; k <= kMaxListedProcessors; ++k)
    processors += "CPU " + std::to_string(k) + ":\n" + Answers(1);
  std::string rawProcessors;
  for (std::size_t k = 0; k <= kMaxListedProcessors; ++k)
    rawProcessors += "_____ Logical CPU #" + std::to_string(k) + " _____\n" + kRawLeaf0;
  std::string rawAnswers;  // duplicates are found once the processor is complete
  for (std::size_t k = 0; k <= kMaxListedAnswers; ++k)
    rawAnswers += "basic_cpuid[1]=00000000 00000000 00000000 00000000\n";
  std::string large = "CPU 0:\n" + Answers(1);
  while (large.size() <= kMaxListingBytes)
    large += std::string(4000, ' ') + "\n";
  const std::size_t largeLine = (kMaxListingBytes - 7 - Answers(1).size()) / 4001 + 3;

  const struct {
    const char* Name;
    std::string Text;
    std::size_t Line;
    const char* Reason;
  } cases[] = {
      {"a long line", Answers(2) + std::string(kMaxListingLine + 1, ' ') + "\n", 3,
       "longer than 4096 bytes"},
      {"a long line of a register listing",
       "------[ Versions ]------\n" + std::string(kMaxListingLine + 1, 'x'), 2,
       "longer than 4096 bytes"},
      {"too many processors", processors, 2 * kMaxListedProcessors + 2,
       "more than 4096 processors"},
      {"too many answers", Answers(kMaxListedAnswers + 1), kMaxListedAnswers + 1,
       "more than 4096 answers"},
      {"too many answers of a raw listing", kRawLeaf0 + rawAnswers, kMaxListedAnswers + 1,
       "more than 4096 answers"},
      {"too many raw processors", rawProcessors, 2 * kMaxListedProcessors + 2,
       "more than 4096 processors"},
      {"too large a file", large, largeLine, "larger than 32 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const tListingRead read = ReadListing(c.Text);
    const auto* error = std::get_if<tListingError>(&read);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->Line, c.Line);
    EXPECT_NE(error->Reason.find(c.Reason), std::string::npos) << error->Reason;
  }
  // At the bounds themselves, everything is read.
  std::string atBounds = Answers(kMaxListedAnswers) + std::string(kMaxListingLine, ' ') + "\n";
  for (std::size_t k = 1; k < kMaxListedProcessors; ++k)
    atBounds += "CPU " + std::to_string(k) + ":\n" + Answers(1);
  const tListingRead read = ReadListing(atBounds);
  ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read))
      << std::get<tListingError>(read).Reason;
  EXPECT_EQ(std::get<std::vector<tCpuidStore>>(read).size(), kMaxListedProcessors);
}

TEST(ListingsTest, RecognisesEachFormatFromItsText) {
  tCPUdata data;
  data.StdLeaf[0] = {1, 0x756E6547, 0x6C65746E, 0x49656E69};
  const std::string register1 = "CPUID 00000001: 00000001-00000002-00000003-00000004\n";
  const struct {
    const char* Name;
    std::string Text;
    std::size_t Answers;
  } cases[] = {
      {"this program's dump", FormatCpuidDump(data), kCapturedLeaves},
      {"cpuid -r", "\n\nCPU:\n" + Answers(3), 3},
      {"cpuid -r without heading", Answers(2), 2},
      {"register listing", "------[ CPUID Registers / Logical CPU #0 ]------\n\n" + register1, 1},
      {"libcpuid raw", kRawLeaf0, 1},
      {"libcpuid raw with version", "\nversion=0.6.2\n" + kRawLeaf0, 1},
      {"libcpuid raw heading", "_____ Logical CPU #0 _____\n" + kRawLeaf0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const tListingRead read = ReadListing(c.Text);
    ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read))
        << std::get<tListingError>(read).Reason;
    const auto& stores = std::get<std::vector<tCpuidStore>>(read);
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].Size(), c.Answers);
  }

  // This program's dump keeps its own rules and errors.
  std::string dump = FormatCpuidDump(data);
  dump.replace(dump.find("Function 00000001"), 8, "function");
  const tListingRead read = ReadListing(dump);
  ASSERT_TRUE(std::holds_alternative<tListingError>(read));
  EXPECT_EQ(std::get<tListingError>(read).Line, 5u);
  EXPECT_NE(std::get<tListingError>(read).Reason.find("not a CPUID dump"), std::string::npos);

  for (const std::string& garbage :
       {std::string(), std::string("\0\xff", 2), std::string("\n\n")}) {
    const tListingRead none = ReadListing(garbage);
    ASSERT_TRUE(std::holds_alternative<tListingError>(none));
    EXPECT_EQ(std::get<tListingError>(none).Line, 1u);
  }
}

TEST(FullDumpTest, WritesTheSyntaxOfThatToolAndReadsBackTheSame) {
  tCpuidStore first;
  first.OsCpu = 2;
  first.Put(0x0000000D, 0x12, {0xA, 0xB, 0xC, 0xD});
  first.Put(0, 0, {0xD, 0x68747541, 0x444D4163, 0x69746E65});
  first.Put(0x8FFFFFFF, 0x100, {0, 0, 0, 0xFFFFFFFF});
  tCpuidStore second;
  second.Put(1, 0, {0xB00F21, 0x57FE0800, 0xFED83203, 0x178BFBFF});
  const std::vector<tCpuidStore> stores{first, second};

  const std::string dump = FormatFullDump(stores);
  EXPECT_EQ(dump,
            "CPU 2:\n"
            "   0x00000000 0x00: eax=0x0000000d ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
            "   0x0000000d 0x12: eax=0x0000000a ebx=0x0000000b ecx=0x0000000c edx=0x0000000d\n"
            "   0x8fffffff 0x100: eax=0x00000000 ebx=0x00000000 ecx=0x00000000 edx=0xffffffff\n"
            "CPU 1:\n"
            "   0x00000001 0x00: eax=0x00b00f21 ebx=0x57fe0800 ecx=0xfed83203 edx=0x178bfbff\n");

  const tListingRead read = ReadListing(dump);
  ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read));
  auto again = std::get<std::vector<tCpuidStore>>(read);
  ASSERT_EQ(again.size(), 2u);
  // Each processor under its heading's number: its own, or its slot where it had none.
  EXPECT_EQ(again[0].OsCpu, 2);
  EXPECT_EQ(again[1].OsCpu, 1);
  again[1].OsCpu = -1;
  EXPECT_EQ(again, stores);
}

}  // namespace
