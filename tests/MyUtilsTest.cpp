#include "engine/MyUtils.h"

#include <gtest/gtest.h>

TEST(MyUtils, Placeholder) {
  EXPECT_EQ(HexToInt("1F"), 31u);
}
