// The files of hwloc-gather-cpuid: the reader's errors and the writer read back.
#include "engine/listings/HwlocCpuid.h"

#include <gtest/gtest.h>

#include "engine/listings/Listings.h"

namespace {

tCpuidStore OnlyProcessor(const tListingRead& read) {
  if (const auto* error = std::get_if<tListingError>(&read)) {
    ADD_FAILURE() << "line " << error->Line << ": " << error->Reason;
    return {};
  }
  const auto& stores = std::get<std::vector<tCpuidStore>>(read);
  EXPECT_EQ(stores.size(), 1u);
  return stores.empty() ? tCpuidStore{} : stores[0];
}

TEST(HwlocCpuid, RefusesLinesThatToolDoesNotWrite) {
  const std::string head = std::string(kHwlocPuHeading) + "\n";
  const struct {
    const char* Name;
    std::string Text;
    std::size_t Line;
    const char* Reason;
  } cases[] = {
      {"no answers", head, 1, "no answers"},
      {"an output missing", head + "1 0 0 0 0 => d 1 2\n", 2, "MASK EAX"},
      {"no arrow", head + "1 0 0 0 0 d 1 2 3\n", 2, "MASK EAX"},
      {"not hexadecimal", head + "1 0 0 0 0 => d 1 2 x3\n", 2, "MASK EAX"},
      {"nine digits", head + "1 0 0 0 0 => 123456789 1 2 3\n", 2, "MASK EAX"},
      {"mask of EBX input", head + "3 0 0 0 0 => d 1 2 3\n", 2, "mask 3"},
      {"two answers to one pair", head + "5 4 0 1 0 => 1 2 3 4\n5 4 0 1 0 => 1 2 3 5\n", 3,
       "line 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const tListingRead read = ReadHwlocPu(c.Text);
    const auto* error = std::get_if<tListingError>(&read);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->Line, c.Line);
    EXPECT_NE(error->Reason.find(c.Reason), std::string::npos) << error->Reason;
  }
}

TEST(HwlocCpuid, WritesMaskFiveWhereALeafHasSubLeavesAndReadsBackTheSame) {
  tCpuidStore store;
  store.Put(0, 0, {0xD, 0x68747541, 0x444D4163, 0x69746E65});
  store.Put(4, 0, {0x4121, 0x1C0003F, 0x3F, 0});
  store.Put(4, 1, {0, 0, 0, 0});
  store.Put(0x12, 2, {1, 2, 3, 4});  // only a sub-leaf other than 0
  store.Put(0x80000008, 0, {0x3030, 0x20000005, 0, 0});
  const std::string text = FormatHwlocPu(store);
  EXPECT_EQ(text,
            "# mask e[abcd]x => e[abcd]x\n"
            "1 0 0 0 0 => d 68747541 444d4163 69746e65\n"
            "5 4 0 0 0 => 4121 1c0003f 3f 0\n"
            "5 4 0 1 0 => 0 0 0 0\n"
            "5 12 0 2 0 => 1 2 3 4\n"
            "1 80000008 0 0 0 => 3030 20000005 0 0\n");
  EXPECT_EQ(OnlyProcessor(ReadListing(text)), store);
}

}  // namespace
