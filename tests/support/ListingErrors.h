// The check every listing reader's refusals share: each case is refused on its line, with a
// reason that holds the words expected.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/listings/ListingText.h"

struct tErrorCase {
  const char* Name;
  std::string Text;
  std::size_t Line;
  const char* Reason;  // a part of the reason
};

inline void ExpectErrors(tListingRead (*reader)(std::string_view),
                         const std::vector<tErrorCase>& cases) {
  for (const tErrorCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const tListingRead read = reader(c.Text);
    const auto* error = std::get_if<tListingError>(&read);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->Line, c.Line);
    EXPECT_NE(error->Reason.find(c.Reason), std::string::npos) << error->Reason;
  }
}
