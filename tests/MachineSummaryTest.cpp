// Each machine at a glance, from public listings whose makers give the figures: cores and
// threads of each kind, the caches with their instances, the signature.
#include "view/MachineSummary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "engine/CPUid.h"
#include "engine/listings/Listings.h"
#include "platform/ReplayProcessorServices.h"
#include "view/Captions.h"

namespace {

const std::string kFull = std::string(LUMARIAN_FIXTURES) + "/full/";

// An engine over the listings, each a machine of its own.
std::unique_ptr<cCPUid> Identified(const std::vector<std::string>& names) {
  std::vector<platform::tCpuidRecording> recordings;
  std::vector<platform::tRecordingSource> sources;
  for (unsigned listing = 0; listing < names.size(); ++listing) {
    std::ifstream file(kFull + names[listing], std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const tListingRead read = ReadListing(text.str());
    const auto* stores = std::get_if<std::vector<tCpuidStore>>(&read);
    if (stores == nullptr) {
      ADD_FAILURE() << names[listing] << " does not read";
      continue;
    }
    for (const tCpuidStore& store : *stores) {
      recordings.push_back(RecordingOf(store));
      sources.push_back({names[listing], listing});
    }
  }
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(recordings, sources), true);
}

std::string LineOf(const tMachineSummary& summary, std::string_view caption) {
  for (const tSummaryLine& line : summary.Lines) {
    if (line.Caption == caption) return line.Text;
  }
  return "(none)";
}

constexpr std::string_view kL1d = processor_caption::kLevel1Data;
constexpr std::string_view kL1i = processor_caption::kLevel1Instructions;
constexpr std::string_view kL1t = processor_caption::kLevel1Trace;
constexpr std::string_view kL2 = processor_caption::kLevel2;
constexpr std::string_view kL3 = processor_caption::kLevel3;
constexpr std::string_view kCores = summary_caption::kCores;
constexpr std::string_view kSignature = summary_caption::kSignature;

TEST(MachineSummary, AgreesWithWhatTheMakersGive) {
  struct tRow {
    const char* Listing;
    std::string_view Caption;
    const char* Text;  // Windows-1252: "\xD7" is the multiplication sign
  };
  const tRow rows[] = {
      // Ryzen 9 9950X: 16 cores, 32 threads; 1 MB L2 per core; 32 MB L3 per CCD, two CCDs.
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", kCores, "16, 32 threads"},
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", kL1d, "16 \xD7 48 KB (768 KB)"},
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", kL2, "16 \xD7 1 MB (16 MB)"},
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", kL3, "2 \xD7 32 MB (64 MB)"},
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", kSignature,
       "family 0x1A, model 0x44, stepping 0"},
      // Core i5-14600K: 6 P-cores with 2 threads and 2 MB L2 each, 8 E-cores in two clusters of
      // 4 MB L2; 24 MB L3; 48 KB L1 data per P-core, 32 KB per E-core.
      {"lc-intel-x86-64-raptor-cove--intel-core-i5-14600k.test", kCores,
       "6 performance, 12 threads; 8 efficiency, 8 threads"},
      {"lc-intel-x86-64-raptor-cove--intel-core-i5-14600k.test", kL1d,
       "6 \xD7 48 KB (288 KB), 8 \xD7 32 KB (256 KB)"},
      {"lc-intel-x86-64-raptor-cove--intel-core-i5-14600k.test", kL2,
       "2 \xD7 4 MB (8 MB), 6 \xD7 2 MB (12 MB)"},
      {"lc-intel-x86-64-raptor-cove--intel-core-i5-14600k.test", kL3, "1 \xD7 24 MB"},
      {"lc-intel-x86-64-raptor-cove--intel-core-i5-14600k.test", kSignature,
       "family 0x6, model 0xB7, stepping 1"},
      // Pentium 4 1.60 GHz (Northwood): 8 KB L1 data, a 12 K micro-op trace cache, 512 KB L2.
      {"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test", kCores, "1, 1 thread"},
      {"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test", kL1t, "1 \xD7 12 K\xB5Ops"},
      {"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test", kL1i, "(none)"},
      {"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test", kL3, "(none)"},
      {"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test", kSignature,
       "family 0xF, model 0x2, stepping 4"},
  };
  for (const tRow& row : rows) {
    SCOPED_TRACE(std::string(row.Listing) + " / " + std::string(row.Caption));
    const auto engine = Identified({row.Listing});
    const auto summaries = MachineSummaries(*engine->Records(), engine->CPUCount);
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(LineOf(summaries[0], row.Caption), row.Text);
  }
}

TEST(MachineSummary, OnePerListingWithItsFile) {
  const auto engine = Identified({"lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test",
                                  "il-CentaurHauls00607B1_KX7000_05_CPUID.txt"});
  const auto summaries = MachineSummaries(*engine->Records(), engine->CPUCount);
  ASSERT_EQ(summaries.size(), 2u);
  EXPECT_EQ(summaries[0].Listing, "lc-intel-ia-32-netburst--intel-pentium-4-cpu-1.60ghz.test");
  EXPECT_EQ(LineOf(summaries[0], kCores), "1, 1 thread");
  // KX-7000: 8 cores, 8 threads, 32 MB L3 (the maker's figures).
  EXPECT_EQ(summaries[1].Listing, "il-CentaurHauls00607B1_KX7000_05_CPUID.txt");
  EXPECT_EQ(LineOf(summaries[1], kCores), "8, 8 threads");
  EXPECT_EQ(LineOf(summaries[1], kL3), "1 \xD7 32 MB");
}

TEST(MachineSummary, SizesInWholeMegabytesOrKilobytes) {
  const struct {
    unsigned long long Kb;
    const char* Text;
  } rows[] = {{48, "48 KB"}, {1024, "1 MB"}, {1536, "1536 KB"}, {32768, "32 MB"}, {0, "0 KB"}};
  for (const auto& row : rows)
    EXPECT_EQ(CacheSizeText(row.Kb), row.Text) << row.Kb;
}

}  // namespace
