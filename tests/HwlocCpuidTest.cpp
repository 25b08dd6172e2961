// The files of hwloc-gather-cpuid: the reader on the lines that tool writes (the sample in
// tests/fixtures/formats is its output on a 2-processor virtual machine), the errors, the
// writer read back, and the folders read and written whole.
#include "engine/listings/HwlocCpuid.h"
#include "tests/support/ListingErrors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/HwlocFolder.h"
#include "engine/listings/Listings.h"

namespace {

namespace fs = std::filesystem;

tCpuidStore OnlyProcessor(const tListingRead& read) {
  if (const auto* error = std::get_if<tListingError>(&read)) {
    ADD_FAILURE() << "line " << error->Line << ": " << error->Reason;
    return {};
  }
  const auto& stores = std::get<std::vector<tCpuidStore>>(read);
  EXPECT_EQ(stores.size(), 1u);
  return stores.empty() ? tCpuidStore{} : stores[0];
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(HwlocCpuid, ReadsTheGatheredFileWithItsSubLeaves) {
  const std::string text =
      ReadText(fs::path(LUMARIAN_FIXTURES) / "formats" / "hwloc-gather-cpuid-vm" / "pu0");
  const tCpuidStore store = OnlyProcessor(ReadListing(text));
  // Lines of the file, copied by hand: "1 1 0 0 0 => b00f21 66fe0800 fed83203 178bfbff",
  // "5 d 0 7 0 => 400 580 0 0", "1 80000021 0 0 0 => 411d8c47 0 0 0".
  EXPECT_EQ(store.Get(1), (tCPUIDResult{0xB00F21, 0x66FE0800, 0xFED83203, 0x178BFBFF}));
  EXPECT_EQ(store.Get(0xD, 7), (tCPUIDResult{0x400, 0x580, 0, 0}));
  EXPECT_EQ(store.Get(0x80000021), (tCPUIDResult{0x411D8C47, 0, 0, 0}));
  EXPECT_EQ(store.Size(), 36u) << "37 lines, the first a comment";
}

TEST(HwlocCpuid, RefusesLinesThatToolDoesNotWrite) {
  const std::string head = std::string(kHwlocPuHeading) + "\n";
  ExpectErrors(ReadHwlocPu,
               {
                   {"no answers", head, 1, "no answers"},
                   {"an output missing", head + "1 0 0 0 0 => d 1 2\n", 2, "MASK EAX"},
                   {"no arrow", head + "1 0 0 0 0 d 1 2 3\n", 2, "MASK EAX"},
                   {"not hexadecimal", head + "1 0 0 0 0 => d 1 2 x3\n", 2, "MASK EAX"},
                   {"nine digits", head + "1 0 0 0 0 => 123456789 1 2 3\n", 2, "MASK EAX"},
                   {"mask of EBX input", head + "3 0 0 0 0 => d 1 2 3\n", 2, "mask 3"},
                   {"two answers to one pair",
                    head + "5 4 0 1 0 => 1 2 3 4\n5 4 0 1 0 => 1 2 3 5\n", 3, "line 2"},
               });
}

TEST(HwlocCpuid, TheMaskSaysWhetherTheSubLeafCounts) {
  // Under the mask 1 the input ECX is not looked at: the answer is the leaf's, sub-leaf 0.
  const tCpuidStore store = OnlyProcessor(
      ReadHwlocPu("1 2 0 3 0 => 76036301 ff b0 c30000\n5 b 0 1 0 => 4 8 201 0\n\n# a remark\n"));
  EXPECT_EQ(store.Get(2, 0), (tCPUIDResult{0x76036301, 0xFF, 0xB0, 0xC30000}));
  EXPECT_FALSE(store.Has(2, 3));
  EXPECT_EQ(store.Get(0xB, 1), (tCPUIDResult{4, 8, 0x201, 0}));
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

class HwlocFolder : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/hwloc-folder-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

tCpuidStore Processor(std::uint32_t apic) {
  tCpuidStore store;
  store.Put(0, 0, {1, 0x756E6547, 0x6C65746E, 0x49656E69});
  store.Put(1, 0, {0x906EA, apic << 24, 0, 0});
  return store;
}

TEST_F(HwlocFolder, WritesEveryProcessorAndReadsThemBackInNumberOrder) {
  std::vector<tCpuidStore> stores;
  for (std::uint32_t k = 0; k < 12; ++k)
    stores.push_back(Processor(k));
  const std::string folder = (root_ / "out").string();
  ASSERT_EQ(WriteHwlocFolder(folder, stores), std::nullopt);
  EXPECT_EQ(ReadText(root_ / "out" / "hwloc-cpuid-info"), "Architecture: x86\n");
  EXPECT_TRUE(fs::exists(root_ / "out" / "pu11"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1)
      << "nothing beside the folder";
  // pu10 and pu11 come after pu2, as numbers.
  const auto read = LoadHwlocFolder(folder);
  ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read))
      << std::get<std::string>(read);
  EXPECT_EQ(std::get<std::vector<tCpuidStore>>(read), stores);

  // A processor of this machine keeps its operating system's number as its file's.
  stores.resize(1);
  stores[0].OsCpu = 5;
  ASSERT_EQ(WriteHwlocFolder((root_ / "live").string(), stores), std::nullopt);
  EXPECT_TRUE(fs::exists(root_ / "live" / "pu5"));
}

TEST_F(HwlocFolder, AnEmptyFolderIsTakenAndOneWithFilesIsLeftAlone) {
  fs::create_directory(root_ / "empty");
  EXPECT_EQ(WriteHwlocFolder((root_ / "empty").string(), {Processor(0)}), std::nullopt);
  EXPECT_TRUE(fs::exists(root_ / "empty" / "pu0"));

  fs::create_directory(root_ / "taken");
  std::ofstream(root_ / "taken" / "notes") << "mine";
  const auto error = WriteHwlocFolder((root_ / "taken").string(), {Processor(0)});
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find("holds files already"), std::string::npos) << *error;
  EXPECT_EQ(ReadText(root_ / "taken" / "notes"), "mine");
  EXPECT_FALSE(fs::exists(root_ / "taken" / "pu0"));

  std::ofstream(root_ / "file") << "x";
  EXPECT_TRUE(WriteHwlocFolder((root_ / "file").string(), {Processor(0)}).has_value());
  EXPECT_EQ(ReadText(root_ / "file"), "x");
  EXPECT_TRUE(WriteHwlocFolder((root_ / "missing" / "deeper").string(), {Processor(0)}));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 3)
      << "no partial folder left";
}

TEST_F(HwlocFolder, ReadingNamesTheFolderOrTheFileAndLine) {
  fs::create_directory(root_ / "none");
  std::ofstream(root_ / "none" / "pu") << "";
  std::ofstream(root_ / "none" / "pu01") << "";
  const auto none = LoadHwlocFolder((root_ / "none").string());
  ASSERT_TRUE(std::holds_alternative<std::string>(none));
  EXPECT_NE(std::get<std::string>(none).find("pu0, pu1"), std::string::npos);

  fs::create_directory(root_ / "bad");
  std::ofstream(root_ / "bad" / "pu0") << FormatHwlocPu(Processor(0));
  std::ofstream(root_ / "bad" / "pu1") << "# mask e[abcd]x => e[abcd]x\n1 0 0 0 0 => 1\n";
  const auto bad = LoadHwlocFolder((root_ / "bad").string());
  ASSERT_TRUE(std::holds_alternative<std::string>(bad));
  EXPECT_NE(std::get<std::string>(bad).find("/bad/pu1':2: "), std::string::npos)
      << std::get<std::string>(bad);
}

}  // namespace
