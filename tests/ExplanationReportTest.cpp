// --explain: the steps from the registers to each distinct processor's identity. The
// listings are public ones of tests/fixtures/full; what each step must say is read from
// their registers by hand beside each case.
#include "app/ExplanationReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "engine/listings/Listings.h"
#include "tests/support/EngineFixtures.h"

namespace {

std::vector<tCpuidStore> ListingStores(const std::string& file) {
  std::ifstream in(std::string(LUMARIAN_FIXTURES "/full/") + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  tListingRead read = ReadListing(text.str());
  return std::get<std::vector<tCpuidStore>>(read);
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ExplanationReport, NamesTheRowTheEvidenceAndTheRowsThatLost) {
  // Core 2 Quad Q6600 (libcpuid kentsfield-core-2-quad): leaf 1 EAX 0x6FB, leaf 4 EAX bits
  // 31..26 = 3 (four cores), one logical processor per core, leaf 4's level 2 of 16 ways x 64
  // B x 4096 sets = 4096 KB; brand "Intel Core2 Quad CPU Q6600 @ 2.40GHz".
  const auto engine =
      IdentifiedStores(ListingStores("lc-intel-x86-64-core--kentsfield-core-2-quad.test"));
  const std::string text = ExplanationReport(*engine);
  const char* const parts[] = {
      "Processor 1\n",
      "GenuineIntel",
      "family 06h, model 0Fh, stepping 11",
      "\"Intel Core2 Quad CPU Q6600 @ 2.40GHz\"",
      "4 cores, 4 logical processors",
      "L2 4096 KB, L3 none",
      "Topology from     leaves 1 and 4",
      "Caches from       leaf 4",
      "Row               Intel family 06h model 0Fh, brand \"Core2 Quad\"",
      "Code name         Kentsfield",
      // The four-core row matched too, but a brand is the more specific key.
      "Intel family 06h model 0Fh, cores 4: matched, less specific",
      // Of the brand rows that failed, as many as fit; the rest counted.
      ": brand pattern differs\n",
      " more\n",
  };
  for (const char* part : parts)
    EXPECT_TRUE(Has(text, part)) << part << "\n" << text;
}

TEST(ExplanationReport, ProcessorsThatReadAlikeAreOneAndAMissingRowSaysHowToRecord) {
  // Four logical processors of a Pentium Gold 4425Y read alike but for their APIC IDs, which
  // the explanation does not show.
  const auto amber =
      IdentifiedStores(ListingStores("lc-intel-x86-64-skylake--intel-pentium-cpu-4425y.test"));
  const std::string text = ExplanationReport(*amber);
  EXPECT_TRUE(Has(text, "Processors 1-4\n")) << text;
  EXPECT_TRUE(Has(text, "Code name         Amber Lake-Y")) << text;
  EXPECT_FALSE(Has(text, "Processor 2")) << text;

  // Intel family 6 model FFh: the code-name table speaks for it, no row describes it.
  const auto unknown =
      IdentifiedStores({StoreOf("GenuineIntel", 1, {{1, 0, {0x000F06F0, 0, 0, 0}}})});
  const std::string none = ExplanationReport(*unknown);
  EXPECT_TRUE(Has(none, "none: no row of the code-name table describes this processor")) << none;
  EXPECT_TRUE(Has(none, "lumarian --dump")) << none;
}

}  // namespace
