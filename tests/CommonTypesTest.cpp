#include "engine/store/CommonTypes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShortString, CutsAtItsCapacityAndKeepsNuls) {
  tShortString<5> text(std::string_view("abc\0de", 6));
  ASSERT_EQ(text.Length(), 5u);
  EXPECT_EQ(text.View(), std::string_view("abc\0d", 5));

  tShortString<255> name;
  name = std::string(250, 'x');
  name.Append(" (Mobile)");
  EXPECT_EQ(name.Length(), 255u);
  EXPECT_EQ(name.View().substr(250), " (Mob");
  name.Append("more");
  EXPECT_EQ(name.Length(), 255u);

  name = "";
  EXPECT_TRUE(name.Empty());
  name.Append("K7");
  EXPECT_EQ(name, "K7");
}

TEST(CapturedLeaves, FollowTheFiveGroupsInCaptureOrder) {
  const std::uint32_t expected[kCapturedLeaves] = {
      0x0,        0x1,        0x2,        0x3,        0x4,        0x5,        0x80000000,
      0x80000001, 0x80000002, 0x80000003, 0x80000004, 0x80000005, 0x80000006, 0x80000007,
      0x80000008, 0x80860000, 0x80860001, 0x80860002, 0x80860003, 0x80860004, 0x80860005,
      0x80860006, 0x80860007, 0xC0000000, 0xC0000001, 0x8FFFFFFE, 0x8FFFFFFF};
  for (std::size_t k = 0; k < kCapturedLeaves; ++k)
    EXPECT_EQ(CaptureLeaf(k), expected[k]) << k;
}

TEST(CapturedLeaves, RowKIsTheRecordMemberOfThatLeaf) {
  tCPUdata data;
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    data.Row(k).EAX = static_cast<std::uint32_t>(k + 1);
  }
  EXPECT_EQ(data.StdLeaf[5].EAX, 6u);
  EXPECT_EQ(data.ExtLeaf[0].EAX, 7u);
  EXPECT_EQ(data.ExtLeaf[8].EAX, 15u);
  EXPECT_EQ(data.TmLeaf[7].EAX, 23u);
  EXPECT_EQ(data.CentaurLeaf[1].EAX, 25u);
  EXPECT_EQ(data.SpecialLeaf[1].EAX, 27u);

  const platform::tCpuidRecording recording = RecordingOf(data);
  ASSERT_EQ(recording.size(), kCapturedLeaves);
  EXPECT_EQ(recording[25].Leaf, 0x8FFFFFFEu);
  EXPECT_EQ(recording[25].Result.EAX, 26u);
}

}  // namespace
