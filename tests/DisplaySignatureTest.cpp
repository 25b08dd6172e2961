// The display family, model and stepping, and the core type of hybrid parts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"

// Shown by GoogleTest when a comparison fails.
void PrintTo(const tDisplaySignature& s, std::ostream* out) {
  *out << std::hex << "family 0x" << s.Family << " model 0x" << s.Model << " stepping "
       << s.Stepping;
}

namespace {

struct tSignatureCase {
  std::uint32_t Eax;
  tDisplaySignature Expected;
  const char* Why;
};

TEST(DisplaySignature, FamilyAndModelAddTheirExtensionsWhereTheMakersSay) {
  const std::vector<tSignatureCase> cases{
      {0x000906EA, {6, 0x9E, 0xA}, "family 6: model 0xE plus extended model 9 times 16"},
      {0x00000695, {6, 9, 5}, "family 6 without extended model"},
      {0x00000F29, {15, 2, 9}, "family 0xF plus extended family 0"},
      {0x00020F32, {15, 0x23, 2}, "family 0xF: the extended model counts as well"},
      {0x00A20F12, {0x19, 0x21, 2}, "0xF plus extended family 0xA"},
      {0x00B00F21, {0x1A, 0x02, 1}, "this machine's Turin-like guest"},
      {0x00310F10, {0x12, 0x11, 0}, "Intel family 0x12: 0xF plus extended family 3"},
      {0x00010540, {5, 4, 0}, "below family 6 the extended model is not added"},
      {0x0FF00F00, {0xF + 0xFF, 0, 0}, "the whole extended family byte"},
      {0x00000000, {0, 0, 0}, "nothing"},
  };
  for (const tSignatureCase& c : cases)
    EXPECT_EQ(DisplaySignatureOf(c.Eax), c.Expected) << c.Why;
}

TEST(DisplaySignature, OfAStoreWithoutLeafOneIsZero) {
  tCpuidStore store;
  EXPECT_EQ(DisplaySignatureOf(store), tDisplaySignature{});
  store.Put(1, 0, {0x000B0671, 0, 0, 0});
  EXPECT_EQ(DisplaySignatureOf(store), (tDisplaySignature{6, 0xB7, 1}));
}

// The leaf-1 EAX of the first processor of a listing: the first "CPUID 00000001" line, or
// in libcpuid's raw form the "basic_cpuid[1]=" line.
std::uint32_t FirstSignature(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    const std::string raw = "basic_cpuid[1]=";
    if (line.compare(0, raw.size(), raw) == 0)
      return static_cast<std::uint32_t>(std::stoul(line.substr(raw.size(), 8), nullptr, 16));
    const std::string head = "CPUID 00000001";
    if (line.compare(0, head.size(), head) != 0) continue;
    std::size_t at = head.size();
    while (at < line.size() && (line[at] == ':' || line[at] == ' ' || line[at] == '\t'))
      ++at;
    return static_cast<std::uint32_t>(std::stoul(line.substr(at, 8), nullptr, 16));
  }
  ADD_FAILURE() << path << ": no leaf 1";
  return 0;
}

TEST(DisplaySignature, AgreesWithTheLabelsOfEveryFullListing) {
  std::ifstream index(LUMARIAN_FIXTURES "/full/index.tsv");
  std::string line;
  std::getline(index, line);  // the column names
  unsigned files = 0;
  while (std::getline(index, line)) {
    std::istringstream row(line);
    std::string file, source, vendor, family, model, stepping;
    std::getline(row, file, '\t');
    std::getline(row, source, '\t');
    std::getline(row, vendor, '\t');
    std::getline(row, family, '\t');
    std::getline(row, model, '\t');
    std::getline(row, stepping, '\t');
    const tDisplaySignature expected{static_cast<std::uint32_t>(std::stoul(family, nullptr, 16)),
                                     static_cast<std::uint32_t>(std::stoul(model, nullptr, 16)),
                                     static_cast<std::uint32_t>(std::stoul(stepping))};
    EXPECT_EQ(DisplaySignatureOf(FirstSignature(LUMARIAN_FIXTURES "/full/" + file)), expected)
        << file;
    ++files;
  }
  EXPECT_EQ(files, 256u);
}

struct tCoreTypeCase {
  const char* What;
  std::vector<tCpuidEntry> Answers;
  tCoreType Expected;
};

TEST(CoreType, ComesFromTheHybridLeafOfEachLogicalProcessor) {
  // Answers as listed for Raptor Lake (00B0671) and Strix Point (0B20F40) processors.
  const tCPUIDResult intelMax{0x20, 0x756E6547, 0x6C65746E, 0x49656E69};
  const tCPUIDResult amdExtMax{0x80000028, 0, 0, 0};
  const std::vector<tCoreTypeCase> cases{
      {"Intel P-core",
       {{0, 0, intelMax}, {0x1A, 0, {0x40000001, 0, 0, 0}}},
       tCoreType::Performance},
      {"Intel E-core", {{0, 0, intelMax}, {0x1A, 0, {0x20000001, 0, 0, 0}}}, tCoreType::Efficiency},
      {"Intel leaf 0x1A without a core type",
       {{0, 0, intelMax}, {0x1A, 0, {}}},
       tCoreType::Unknown},
      {"Intel leaf 0x1A above the maximum",
       {{0, 0, {0x16, 0, 0, 0}}, {0x1A, 0, {0x40000001, 0, 0, 0}}},
       tCoreType::Unknown},
      {"AMD performance core",
       {{0x80000000, 0, amdExtMax}, {0x80000026, 0, {0x60000001, 0x00000002, 0x100, 0}}},
       tCoreType::Performance},
      {"AMD efficiency core",
       {{0x80000000, 0, amdExtMax}, {0x80000026, 0, {0x60000001, 0x10000002, 0x100, 0x10}}},
       tCoreType::Efficiency},
      {"AMD without heterogeneous cores: no core type to tell",
       {{0x80000000, 0, amdExtMax}, {0x80000026, 0, {0x00000001, 0x00000002, 0x100, 0}}},
       tCoreType::Unknown},
      {"AMD leaf 0x80000026 above the maximum",
       {{0x80000000, 0, {0x80000021, 0, 0, 0}},
        {0x80000026, 0, {0x60000001, 0x10000002, 0x100, 0}}},
       tCoreType::Unknown},
      {"nothing captured", {}, tCoreType::Unknown},
  };
  for (const tCoreTypeCase& c : cases)
    EXPECT_EQ(CoreTypeName(CoreTypeOf(StoreOf(c.Answers))), CoreTypeName(c.Expected)) << c.What;
}

}  // namespace
