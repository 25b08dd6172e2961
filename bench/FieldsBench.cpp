// Decoding every field of every processor through the field table: the largest public
// listing, and 384 processors (the largest listing's processors cycled) as a machine of that
// size gives them. Target: 20 ms for the 384.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "engine/decode/FieldDecoder.h"
#include "engine/listings/Listings.h"

namespace {

// The public listing with the most answers: 56 processors of 48 answers.
const std::string kLargest =
    std::string(LUMARIAN_FIXTURES) + "/full/il-GenuineIntel0050657_CascadeLakeXeon_CPUID.txt";

std::vector<tCpuidStore> Processors(std::size_t count) {
  std::ifstream in(kLargest, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  tListingRead read = ReadListing(text.str());
  if (!std::holds_alternative<std::vector<tCpuidStore>>(read))
    throw std::runtime_error("the largest listing does not read");
  const auto listed = std::get<std::vector<tCpuidStore>>(std::move(read));
  if (count == 0) return listed;
  std::vector<tCpuidStore> processors;
  for (std::size_t k = 0; k < count; ++k)
    processors.push_back(listed[k % listed.size()]);
  return processors;
}

void DecodeEveryField(benchmark::State& state) {
  const std::vector<tCpuidStore> processors = Processors(static_cast<std::size_t>(state.range(0)));
  std::size_t fields = 0;
  for (auto _ : state) {
    fields = 0;
    for (const tCpuidStore& store : processors) {
      const std::vector<tFieldValue> decoded = DecodeFields(store);
      fields += decoded.size();
      benchmark::DoNotOptimize(decoded.data());
    }
  }
  state.counters["processors"] = static_cast<double>(processors.size());
  state.counters["fields"] = static_cast<double>(fields);
}
// 0: the listing as it is; 384: its processors cycled.
BENCHMARK(DecodeEveryField)->Arg(0)->Arg(384)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
