// Names on their way to a terminal: every control character escaped, printable UTF-8 kept,
// one line.
#include "app/TerminalText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TerminalText, QuotedEscapesControlsQuotesAndBytesThatAreNotUtf8) {
  struct tCase {
    std::string Text;
    std::string Quoted;
  };
  const tCase cases[] = {
      {"dump.txt", "'dump.txt'"},
      {"", "''"},
      {"red\x1b[31mtext", "'red\\x1b[31mtext'"},
      {"two\nlines", "'two\\x0alines'"},
      {std::string("nul\0end", 7), "'nul\\x00end'"},
      {"tab\tcr\rdel\x7f", "'tab\\x09cr\\x0ddel\\x7f'"},
      {"it's", "'it\\'s'"},
      {"back\\slash", "'back\\\\slash'"},
      {"Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x82\xAC \xF0\x9F\x98\x80",
       "'Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x82\xAC \xF0\x9F\x98\x80'"},
      {"csi\xC2\x9B"
       "2J",
       "'csi\\xc2\\x9b2J'"},  // a C1 control written in UTF-8
      {"raw\x9B"
       "2J",
       "'raw\\x9b2J'"},  // and as a single byte
      {"\xFF\xFE", "'\\xff\\xfe'"},
      {"cut\xE2\x82", "'cut\\xe2\\x82'"},
      {"long\xC0\xAF", "'long\\xc0\\xaf'"},           // an overlong form of '/'
      {"half\xED\xA0\x80", "'half\\xed\\xa0\\x80'"},  // a surrogate
      {"big\xF4\x90\x80\x80", "'big\\xf4\\x90\\x80\\x80'"},
  };
  for (const tCase& c : cases) {
    EXPECT_EQ(Quoted(c.Text), c.Quoted) << c.Quoted;
  }
}

}  // namespace
