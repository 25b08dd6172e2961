// The logo list the pictures and the logo table are made from: what a row holds, and the one
// line that names a malformed row.
#include "data/Logo/LogoList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr std::string_view kFallback = "No_Logo.PNG\t-\t-\t-\n";

TEST(LogoList, ReadsTheRowsAndSkipsCommentsAndBlankLines) {
  const std::string text =
      "# file keys package accent\n"
      "\n"
      "AMD_K6_III.PNG\t135,145\t-\t-\r\n"
      "AMD_Ryzen.PNG\tkLogoRyzen\tTwoChiplets\t246,142,52\n" +
      std::string(kFallback);
  tLogoList list;
  ASSERT_EQ(ReadLogoList(text, list), std::nullopt);
  ASSERT_EQ(list.Pictures.size(), 3u);
  const tLogoPicture& k6 = list.Pictures[0];
  EXPECT_EQ(k6.Line, 3u);
  EXPECT_EQ(k6.File, "AMD_K6_III.PNG") << "the CR of a CR LF line is not part of the row";
  EXPECT_EQ(k6.Keys, (std::vector<std::string>{"135", "145"}));
  EXPECT_EQ(k6.Package, "");
  const tLogoPicture& ryzen = list.Pictures[1];
  EXPECT_EQ(ryzen.Keys, (std::vector<std::string>{"kLogoRyzen"}));
  EXPECT_EQ(ryzen.Package, "TwoChiplets");
  EXPECT_EQ(ryzen.Accent, (std::array<std::uint8_t, 3>{246, 142, 52}));
  EXPECT_EQ(list.Fallback, 2u);
  EXPECT_TRUE(list.Pictures[2].Keys.empty());
}

TEST(LogoList, AMalformedRowIsNamedByItsLine) {
  struct tCase {
    const char* Rows;  // the fallback row follows
    std::size_t Line;
    const char* Says;
  };
  const tCase cases[] = {
      {"A.PNG 125 - -\n", 1, "expected 4 columns"},
      {"A.PNG\t125\t-\n", 1, "found 3"},
      {"A.PNG\t125\t-\t-\t\n", 1, "found 5"},
      {"# a comment\nA.PNG\t\t-\t-\n", 2, "key ''"},
      {"A.PNG\t125,\t-\t-\n", 1, "key ''"},
      {"A.PNG\t0\t-\t-\n", 1, "key '0'"},
      {"A.PNG\t65536\t-\t-\n", 1, "key '65536'"},
      {"A.PNG\t0125\t-\t-\n", 1, "key '0125'"},
      {"A.PNG\t-1\t-\t-\n", 1, "key '-1'"},
      {"A.PNG\tkLogo\t-\t-\n", 1, "key 'kLogo'"},
      {"A.PNG\tkRyzen\t-\t-\n", 1, "key 'kRyzen'"},
      {"A.PNG\tkLogo_X\t-\t-\n", 1, "key 'kLogo_X'"},
      {"A.PNG\t125\t-\t-\nB.PNG\t130,125\t-\t-\n", 2, "key '125' has a picture already, on line 1"},
      {"A.png\t125\t-\t-\n", 1, "file name 'A.png'"},
      {".PNG\t125\t-\t-\n", 1, "file name '.PNG'"},
      {"../A.PNG\t125\t-\t-\n", 1, "file name '../A.PNG'"},
      {"A B.PNG\t125\t-\t-\n", 1, "file name 'A B.PNG'"},
      {"A\x01.PNG\t125\t-\t-\n", 1, "file name 'A\\x01.PNG'"},
      {"A.PNG\t125\t-\t-\nA.PNG\t130\t-\t-\n", 2, "file 'A.PNG' has a row already, on line 1"},
      {"A.PNG\t125\tTiles\t-\n", 1, "give both or neither"},
      {"A.PNG\t125\t-\t1,2,3\n", 1, "give both or neither"},
      {"A.PNG\t125\t2Tiles\t1,2,3\n", 1, "package '2Tiles'"},
      {"A.PNG\t125\tTiles\t1,2\n", 1, "accent '1,2'"},
      {"A.PNG\t125\tTiles\t1,2,256\n", 1, "accent '1,2,256'"},
      {"A.PNG\t125\tTiles\t1,,3\n", 1, "accent '1,,3'"},
      {"A.PNG\t-\t-\t-\n", 2, "a second row for keys without a picture; the first is on line 1"},
  };
  for (const tCase& c : cases) {
    tLogoList list;
    const std::optional<tLogoListError> error =
        ReadLogoList(std::string(c.Rows) + std::string(kFallback), list);
    ASSERT_TRUE(error.has_value()) << c.Rows;
    EXPECT_EQ(error->Line, c.Line) << c.Rows;
    EXPECT_NE(error->Message.find(c.Says), std::string::npos) << c.Rows << error->Message;
    EXPECT_EQ(error->Message.find('\n'), std::string::npos) << "one line";
  }
}

TEST(LogoList, TheListAsAWholeMustHoldAFallbackAndStaySmall) {
  tLogoList list;
  const std::optional<tLogoListError> missing = ReadLogoList("A.PNG\t125\t-\t-\n", list);
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->Line, 0u);
  EXPECT_NE(missing->Message.find("no row with keys -"), std::string::npos);

  const std::string big = std::string(kFallback) + std::string(logo_list::kMaxBytes, '#');
  const std::optional<tLogoListError> tooBig = ReadLogoList(big, list);
  ASSERT_TRUE(tooBig.has_value());
  EXPECT_NE(tooBig->Message.find("larger than 1 MiB"), std::string::npos);
}

TEST(LogoList, AFileErrorNamesTheFileAndTheLine) {
  tLogoList list;
  EXPECT_EQ(ReadLogoListFile("/nonexistent/logos.tsv", list),
            "/nonexistent/logos.tsv: cannot be read");
  const std::string path = testing::TempDir() + "LogoListTest.tsv";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kFallback << "A.PNG\t125\t-\n";
  }
  EXPECT_EQ(ReadLogoListFile(path, list),
            path +
                ":2: expected 4 columns separated by tabs (file, keys, package, accent), "
                "found 3");
  std::remove(path.c_str());
}

}  // namespace
