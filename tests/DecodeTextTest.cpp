// The text of --decode: processors that differ in their APIC IDs alone come once, the fields
// under their leaf's title, and no line is wider than 100 columns.
#include "app/DecodeText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

#include "engine/listings/Listings.h"
#include "engine/store/Leaves.h"
#include "tests/support/EngineFixtures.h"

namespace {

// An Intel processor of leaf 1 only: EBX 31:24 the APIC ID, ECX the features.
tCpuidStore Processor(std::uint32_t apicId, std::uint32_t ecx) {
  return StoreOf("GenuineIntel", 1,
                 {{kLeafFeatures, 0, tCPUIDResult{0x000906EA, apicId << 24, ecx, 0}}});
}

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

TEST(DecodeText, ProcessorsThatDifferInTheirApicIdsAloneComeOnce) {
  struct tCase {
    const char* what;
    std::vector<tCpuidStore> processors;
    std::vector<std::string_view> headers;
  };
  const tCase cases[] = {
      {"four alike",
       {Processor(0, 1), Processor(2, 1), Processor(4, 1), Processor(6, 1)},
       {"Processors 0-3\n  APIC IDs 0x0, 0x2, 0x4, 0x6\n"}},
      {"one differs in ECX bit 0 (pni)",
       {Processor(0, 1), Processor(1, 1), Processor(2, 0)},
       {"Processors 0, 1\n  APIC IDs 0x0, 0x1\n", "Processor 2\n  APIC ID 0x2\n"}},
      {"runs of three or more",
       {Processor(0, 1), Processor(1, 1), Processor(2, 1), Processor(4, 0), Processor(3, 1)},
       {"Processors 0-2, 4\n  APIC IDs 0x0-0x3\n", "Processor 3\n  APIC ID 0x4\n"}},
  };
  for (const tCase& c : cases) {
    const std::string text = DecodeText(c.processors);
    for (const std::string_view header : c.headers)
      EXPECT_NE(text.find(header), std::string::npos) << c.what << "\n" << text;
    EXPECT_EQ(Count(text, "Leaf 0x00000001  Signature and features"), c.headers.size()) << c.what;
    // The APIC ID of a group of several is each processor's own.
    EXPECT_NE(text.find("initial_apic_id                 (each)"), std::string::npos) << text;
  }
}

TEST(DecodeText, AFieldLineGivesRegisterBitsNameValueAndMeaning) {
  const std::string text = DecodeText(std::vector<tCpuidStore>{Processor(5, 1u << 28)});
  EXPECT_NE(text.find("    ecx 28    avx                                  1  AVX Instructions\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("    eax 11:8  family                               6  Family\n"),
            std::string::npos)
      << text;
}

TEST(DecodeText, EveryLineOfEveryFixtureListingFitsIn100Columns) {
  std::size_t listings = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(LUMARIAN_FIXTURES) + "/full")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const tListingRead read = ReadListing(text.str());
    if (!std::holds_alternative<std::vector<tCpuidStore>>(read)) continue;
    ++listings;
    std::istringstream lines(DecodeText(std::get<std::vector<tCpuidStore>>(read)));
    for (std::string line; std::getline(lines, line);)
      ASSERT_LE(line.size(), kDecodeColumns) << entry.path().filename() << ": " << line;
  }
  EXPECT_GT(listings, 200u);
}

}  // namespace
