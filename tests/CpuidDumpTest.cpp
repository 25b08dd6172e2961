#include "engine/listings/CpuidDump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/EngineFixtures.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

tCPUdata Sample() {
  tCPUdata data;
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    const auto n = static_cast<std::uint32_t>(k);
    data.Row(k) = {0x01000000u * n + 1, 0xABCDEF00u + n, n, 0xFFFFFFFFu - n};
  }
  return data;
}

// Replaces the first occurrence of `from` in the dump text.
std::string Edited(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(CpuidDump, WritesThirtyFixedWidthLinesEndedByCrLf) {
  const std::string text = FormatCpuidDump(Sample());
  std::size_t lines = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::size_t length = end - start;
    ++lines;
    const std::size_t expected = lines >= 4 ? 69 : lines == 3 ? 64 : length;
    EXPECT_EQ(length, expected) << "line " << lines;
  }
  EXPECT_EQ(lines, 30u);
  EXPECT_EQ(start, text.size()) << "nothing after the last line end";
  EXPECT_EQ(text.substr(0, 35), "Quorvane CPU Lumarian version 0.7\r\n");
  EXPECT_NE(
      text.find("\r\nFunction 00000001        01000001    ABCDEF01    00000001    FFFFFFFE\r\n"),
      std::string::npos);
}

TEST(CpuidDump, Hex8PadsToEightUpperCaseDigits) {
  EXPECT_EQ(Hex8(0), "00000000");
  EXPECT_EQ(Hex8(1), "00000001");
  EXPECT_EQ(Hex8(0x80000008), "80000008");
  EXPECT_EQ(Hex8(0xdeadbeef), "DEADBEEF");
}

TEST(CpuidDump, ReadsBackWhatItWritesWithEitherLineEnding) {
  const tCPUdata sample = Sample();
  std::string text = FormatCpuidDump(sample);
  for (const bool crlf : {true, false}) {
    if (!crlf) text = Edited(text, "\r\n", "\n");  // one line with LF only: mixed endings
    tCPUdata read;
    const auto error = ParseCpuidDump(text, read);
    ASSERT_FALSE(error) << error->Line << ": " << error->Reason;
    for (std::size_t k = 0; k < kCapturedLeaves; ++k)
      EXPECT_EQ(read.Row(k), sample.Row(k)) << k;
  }
  std::string lf;
  for (const char c : FormatCpuidDump(sample)) {
    if (c != '\r') lf.push_back(c);
  }
  tCPUdata read;
  EXPECT_FALSE(ParseCpuidDump(lf, read));
  EXPECT_EQ(read.SpecialLeaf[1], sample.SpecialLeaf[1]);
}

TEST(CpuidDump, EveryFixtureReadsAndWritesBackByteForByte) {
  for (const std::string& name : FixtureNames()) {
    const std::string text = ReadFile(FixturePath(name));
    tCPUdata data;
    const auto error = ParseCpuidDump(text, data);
    ASSERT_FALSE(error) << name << ":" << error->Line << ": " << error->Reason;
    EXPECT_EQ(FormatCpuidDump(data), text) << name;
  }
}

TEST(CpuidDump, NamesTheFirstLineThatIsNotAsWritten) {
  const std::string good = FormatCpuidDump(Sample());
  const std::string row5 = "Function 00000002        02000001";
  struct Case {
    const char* what;
    std::string text;
    std::size_t line;
  };
  const Case cases[] = {
      {"empty file", "", 1},
      {"other program", Edited(good, "Lumarian", "Lumerian"), 1},
      {"title with trailing space", Edited(good, "0.7\r\n", "0.7 \r\n"), 1},
      {"second line not empty", Edited(good, "0.7\r\n\r\n", "0.7\r\n \r\n"), 2},
      {"header changed", Edited(good, "eax", "EAX"), 3},
      {"lower-case register", Edited(good, "ABCDEF00", "abcdef00"), 4},
      {"register not hexadecimal", Edited(good, "ABCDEF01", "ABCDEFG1"), 5},
      {"leaf out of order", Edited(good, "Function 00000002", "Function 00000003"), 6},
      {"tab for spaces", Edited(good, row5, "Function 00000002\t       02000001"), 6},
      {"row too long", Edited(good, "00000002    FFFFFFFD", "00000002    FFFFFFFD0"), 6},
      {"row too short", Edited(good, "    FFFFFFFD\r\n", "    FFFFFFF\r\n"), 6},
      {"carriage return inside a row", Edited(good, "Function 00000003", "Function\r00000003"), 7},
      {"cut after line 13", good.substr(0, good.find("Function 80000004")), 14},
      {"last line without line end", good.substr(0, good.size() - 2), 30},
      {"text after the last row", good + "Function 90000000", 31},
      {"blank line after the last row", good + "\r\n", 31},
      {"a second dump after the first", good + good, 31},
      {"NUL inside the title", Edited(good, "CPU", std::string("C\0U", 3)), 1},
  };
  for (const Case& c : cases) {
    tCPUdata data;
    const auto error = ParseCpuidDump(c.text, data);
    ASSERT_TRUE(error) << c.what;
    EXPECT_EQ(error->Line, c.line) << c.what << ": " << error->Reason;
    EXPECT_FALSE(error->Reason.empty()) << c.what;
  }
}

}  // namespace
