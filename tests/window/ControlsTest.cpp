#include <gtest/gtest.h>

#include <string_view>

#include "ui/Controls.h"

namespace {

TEST(ControlsTest, FromTextReadsWindows1252UpToTheFirstNul) {
  using namespace std::string_view_literals;
  struct tCase {
    std::string_view Text;
    QString Shown;
  };
  const tCase cases[] = {
      {"CMOS 0,18\xB5m"sv, QString::fromUtf8("CMOS 0,18\u00B5m")},
      {"\x80 \x99 \xE9"sv, QString::fromUtf8("\u20AC \u2122 \u00E9")},
      {"Athlon\0\0junk"sv, QStringLiteral("Athlon")},
      {"\0tail"sv, QString()},
      {""sv, QString()},
  };
  for (const tCase& c : cases)
    EXPECT_EQ(FromText(c.Text), c.Shown);
}

}  // namespace
