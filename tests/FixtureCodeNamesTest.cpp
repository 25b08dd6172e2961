// Today's processors of the public full listings, named end to end: every listing the
// code-name table speaks for gets a code name, and the names agree with the listings' own
// labels (the InstLatx64 file name, libcpuid's expected code name), transcribed beside each
// file in tests/fixtures/code-names.tsv. Where they disagree, that file says why, from the
// vendors' product data. Rows of the table that public tables dispute are not compared.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "engine/CPUid.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/listings/Listings.h"
#include "engine/naming/ModernNaming.h"
#include "platform/ReplayProcessorServices.h"

namespace {

const std::string kFixtures = LUMARIAN_FIXTURES;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> ReadTsv(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(ReadFile(path));
  std::string line;
  std::getline(lines, line);  // the column names
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t'))
      fields.push_back(cell);
    if (line.ends_with('\t')) fields.emplace_back();
    rows.push_back(fields);
  }
  return rows;
}

// Letters and digits in lower case, and '+': "Coffee Lake-S" and "CoffeeLakeS" compare equal,
// "Zen+" and "Zen" do not.
std::string Comparable(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0)
      kept += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    else if (c == '+')
      kept += c;
  }
  return kept;
}

// The listings of today's processors by the index's own columns: Intel family 6 from model
// 0Fh, family 15 past the vendor table's rows (model 4 from stepping 7, models 5 and up) and
// families from 12h; AMD from family 10h; Hygon; Centaur and Zhaoxin family 6 from model 0Fh
// and family 7 on.
bool IsToday(const std::vector<std::string>& index) {
  const std::string& vendor = index[2];
  const unsigned long family = std::stoul(index[3], nullptr, 16);
  const unsigned long model = std::stoul(index[4], nullptr, 16);
  const unsigned long stepping = std::stoul(index[5]);
  if (vendor == "GenuineIntel") {
    return (family == 6 && model >= 0x0F) || family >= 0x12 ||
           (family == 15 && (model >= 5 || (model == 4 && stepping >= 7)));
  }
  if (vendor == "AuthenticAMD") return family >= 0x10;
  if (vendor == "HygonGenuine") return true;
  if (vendor == "CentaurHauls" || vendor == "  Shanghai  ")
    return (family == 6 && model >= 0x0F) || family >= 7;
  return false;
}

// An engine that identified the processors of a listing.
std::unique_ptr<cCPUid> IdentifiedListing(const std::string& path) {
  const tListingRead read = ReadListing(ReadFile(path));
  const auto* stores = std::get_if<std::vector<tCpuidStore>>(&read);
  if (stores == nullptr || stores->empty()) return nullptr;
  std::vector<platform::tCpuidRecording> recordings;
  for (const tCpuidStore& store : *stores)
    recordings.push_back(RecordingOf(store));
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)), true);
}

TEST(FixtureCodeNames, AgreeWithTheListingsLabels) {
  const auto expectations = ReadTsv(kFixtures + "/code-names.tsv");
  std::set<std::string> expected;
  for (const auto& row : expectations)
    expected.insert(row[0]);
  // The transcription covers every listing of today's processors, and only those.
  std::set<std::string> today;
  for (const auto& index : ReadTsv(kFixtures + "/full/index.tsv")) {
    if (IsToday(index)) today.insert(index[0]);
  }
  EXPECT_EQ(expected, today);

  unsigned compared = 0, agreed = 0, byCandidates = 0;
  std::map<std::string, std::pair<unsigned, unsigned>> byGeneration;  // agreed, compared
  std::map<std::string, std::string> vendorOf;
  std::map<std::string, std::string> familyOf;
  for (const auto& index : ReadTsv(kFixtures + "/full/index.tsv")) {
    vendorOf[index[0]] = index[2];
    familyOf[index[0]] = index[3];
  }
  for (const auto& row : expectations) {
    ASSERT_EQ(row.size(), 5u) << row[0];
    const std::string& file = row[0];
    const std::string& compares = row[2];
    const std::string& label = row[3];
    const std::string& disagreement = row[4];
    SCOPED_TRACE(file);
    const auto engine = IdentifiedListing(kFixtures + "/full/" + file);
    ASSERT_NE(engine, nullptr);
    const std::string codeName(engine->nameinfo[0].CodeName.View());
    const tCodeNameRow* row = engine->ModernNames[0].Row;
    // Every processor of today gets a code name, unless its row says none is public.
    EXPECT_TRUE(!codeName.empty() || (row != nullptr && row->Facts.CodeName == nullptr));
    // A label that names no die, or a row whose facts public tables dispute: not compared.
    if (compares == "none" || (row != nullptr && row->LowConfidence)) continue;
    const std::string named =
        compares == "code_name" ? codeName : engine->ModernNames[0].Microarchitecture();
    // The label, or a more specific name of the same die ("Coffee Lake" and "Coffee Lake-S");
    // where the name gives candidates ("Conroe/Merom"), the label is one of them.
    bool agrees = false;
    std::istringstream candidates(named);
    for (std::string candidate; std::getline(candidates, candidate, '/');)
      agrees = agrees || Comparable(candidate).starts_with(Comparable(label));
    ++compared;
    agreed += agrees ? 1 : 0;
    byCandidates += agrees && named.find('/') != std::string::npos ? 1 : 0;
    auto& generation = byGeneration[vendorOf[file] + " family " + familyOf[file]];
    generation.first += agrees ? 1 : 0;
    ++generation.second;
    if (disagreement.empty()) {
      EXPECT_TRUE(agrees) << compares << " " << named << ", label " << label;
    } else {
      EXPECT_FALSE(agrees) << "listed as a disagreement, but " << named << " agrees";
    }
  }
  for (const auto& [generation, counts] : byGeneration)
    std::cout << "  " << generation << ": " << counts.first << " of " << counts.second << "\n";
  ASSERT_GT(compared, 0u);
  const double share = 100.0 * agreed / compared;
  std::cout << "code names agreeing with the listings' labels: " << agreed << " of " << compared
            << " (" << share << " %), " << byCandidates << " of them by one of the candidates\n";
  // Each listing that disagrees is listed above with the vendors' data that contradicts its
  // label; the share keeps new disagreements few.
  EXPECT_GE(share, 95.0);
}

// The table against the listings: no listing is matched by two rows of equal rank (where the
// table's order alone would decide), and every row is reached by the listing of some
// processor, save the rows written in tests/fixtures/code-name-rows-unreached.txt until a
// listing of theirs is added; a row listed there that a listing reaches fails too, so the
// list only shrinks.
TEST(FixtureCodeNames, EveryRowIsReachedAndNoListingMatchesTwoRowsOfEqualRank) {
  std::set<const tCodeNameRow*> reached;
  for (const auto& index : ReadTsv(kFixtures + "/full/index.tsv")) {
    if (!IsToday(index)) continue;
    const tListingRead read = ReadListing(ReadFile(kFixtures + "/full/" + index[0]));
    const auto* stores = std::get_if<std::vector<tCpuidStore>>(&read);
    ASSERT_TRUE(stores != nullptr && !stores->empty()) << index[0];
    const tCpuidStore& store = stores->front();
    const std::optional<tMaker> maker = MakerOf(VendorStringOf(store));
    ASSERT_TRUE(maker.has_value()) << index[0];
    const tDisplaySignature signature = DisplaySignatureOf(store);
    const tNamingEvidence evidence = EvidenceOf(store);
    const tCodeNameRow* best = MostSpecificRow(CodeNameRows(), *maker, signature, evidence);
    if (best == nullptr) continue;
    reached.insert(best);
    for (const tCodeNameRow& row : CodeNameRows()) {
      if (&row == best || CheckRow(row, *maker, signature, evidence) != tKeyCheck::Matched)
        continue;
      EXPECT_NE(RowSpecificity(row), RowSpecificity(*best))
          << index[0] << ": " << DescribeKeys(best->Keys) << " and " << DescribeKeys(row.Keys);
    }
  }
  std::set<std::string> unreachedListed;
  std::istringstream listed(ReadFile(kFixtures + "/code-name-rows-unreached.txt"));
  for (std::string line; std::getline(listed, line);) {
    if (!line.empty() && line[0] != '#') unreachedListed.insert(line);
  }
  unsigned unreached = 0;
  for (const tCodeNameRow& row : CodeNameRows()) {
    const std::string keys = DescribeKeys(row.Keys);
    const bool isReached = reached.count(&row) != 0;
    unreached += isReached ? 0 : 1;
    if (isReached) {
      EXPECT_EQ(unreachedListed.count(keys), 0u) << keys << " is reached now";
    } else {
      EXPECT_EQ(unreachedListed.count(keys), 1u) << keys << ": no listing reaches it";
    }
  }
  std::cout << "code-name rows reached by a listing: " << CodeNameRows().size() - unreached
            << " of " << CodeNameRows().size() << "\n";
}

// The guest processor of one of the project's test machines, as `cpuid -r` captured it:
// "Oxide Virtual Turin-like Processor", 1Ah/02h, Turin's signature.
TEST(FixtureCodeNames, TheTurinLikeGuestIsNamedBySignature) {
  const auto engine = IdentifiedListing(kFixtures + "/formats/cpuid-r-vm-2cpu.txt");
  ASSERT_NE(engine, nullptr);
  for (unsigned slot = 0; slot < 2; ++slot) {
    EXPECT_EQ(engine->nameinfo[slot].CodeName.View(), "Turin");
    EXPECT_EQ(engine->ModernNames[slot].Microarchitecture(), "Zen 5");
  }
}

}  // namespace
