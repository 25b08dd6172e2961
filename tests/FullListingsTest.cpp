// What the program decodes from every public full listing against the listing's own labels:
// the cache sizes the InstLatx64 tool writes beside the cache leaves ("[L1D: 48 KB]", "[L2U:
// 2 MB]", and beside the size leaves "[L1D: 64 KB / L1I: 64 KB]", "[L2: 512 KB / L3: 6144
// KB]") and libcpuid expects at the end of its test files; the tool's "CPU 3: APICID 9 /
// Package 0 / Core 4 / Thread 1" lines; its core kinds beside leaves 0x1A ("[Core: Golden
// Cove]", "[Atom: Gracemont]") and 0x80000026 ("[P-Core]"). The labels are read here with a
// parser of their own; the registers through the program's readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "engine/decode/Caches.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/Topology.h"
#include "engine/listings/Listings.h"

namespace {

enum class tKind { L1D, L1I, L2, L3 };
constexpr tKind kKinds[] = {tKind::L1D, tKind::L1I, tKind::L2, tKind::L3};
const char* const kKindNames[] = {"L1D", "L1I", "L2", "L3"};

const char* NameOf(tKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

// Sizes in KB by kind; 0 for "none". A label that is not a number (the tool's "48+192") is
// kept as its text.
using tSizes = std::map<tKind, std::set<std::string>>;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// "48 KB" -> "48", "2 MB" -> "2048"; the text before the unit otherwise. "48+192 KB" (on
// Lion Cove, whose leaf 4 describes a 48 KB data cache in front of a 192 KB one it does not
// describe) is the 48 KB of the leaf the label stands on.
std::string Kilobytes(std::string_view label) {
  const std::size_t space = label.find(' ');
  std::string number(label.substr(0, space));
  number = number.substr(0, number.find('+'));
  const std::string_view unit = space == std::string_view::npos ? "" : label.substr(space + 1, 2);
  if (number.find_first_not_of("0123456789") != std::string::npos || number.empty()) return number;
  const unsigned long value = std::stoul(number);
  return std::to_string(unit == "MB" ? value * 1024 : value);
}

// The text after `key` in `line` up to the next ']' or '/'.
std::optional<std::string> After(const std::string& line, std::string_view key) {
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t from = at + key.size();
  const std::size_t end = line.find_first_of("]/", from);
  std::string value = line.substr(from, end == std::string::npos ? end : end - from);
  while (!value.empty() && value.back() == ' ')
    value.pop_back();
  return value;
}

// The InstLatx64 labels: those of the cache leaves (4, 0x8000001D) where there are any, else
// the non-zero ones of the size leaves.
tSizes ListingLabels(const std::vector<std::string>& lines) {
  tSizes leaves;
  tSizes sizeLeaves;
  for (const std::string& line : lines) {
    if (line.rfind("CPUID 00000004", 0) == 0 || line.rfind("CPUID 8000001D", 0) == 0) {
      const std::pair<const char*, tKind> keys[] = {{"[L1D: ", tKind::L1D},
                                                    {"[L1I: ", tKind::L1I},
                                                    {"[L2U: ", tKind::L2},
                                                    {"[L3U: ", tKind::L3}};
      for (const auto& [key, kind] : keys) {
        if (const auto label = After(line, key)) leaves[kind].insert(Kilobytes(*label));
      }
    } else if (line.rfind("CPUID 80000005", 0) == 0 || line.rfind("CPUID 80000006", 0) == 0) {
      const std::pair<const char*, tKind> keys[] = {
          {"[L1D: ", tKind::L1D}, {"L1I: ", tKind::L1I}, {"[L2: ", tKind::L2}, {"L3: ", tKind::L3}};
      for (const auto& [key, kind] : keys) {
        const auto label = After(line, key);
        if (label && Kilobytes(*label) != "0") sizeLeaves[kind].insert(Kilobytes(*label));
      }
    }
  }
  return leaves.empty() ? sizeLeaves : leaves;
}

// libcpuid's expected values: one section per kind of core after a line of 80 dashes, the
// L1 data, L1 instruction, L2 and L3 sizes in KB on its lines 11 to 14 (-1: none). A section
// whose sizes are all unknown (-1 or 0: files recorded without the cache leaves) labels none.
tSizes LibcpuidLabels(const std::vector<std::string>& lines) {
  tSizes labels;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (lines[k] != std::string(80, '-') || k + 14 >= lines.size()) continue;
    long sizes[4];
    for (std::size_t n = 0; n < 4; ++n)
      sizes[n] = std::stol(lines[k + 11 + n]);
    if (std::all_of(std::begin(sizes), std::end(sizes), [](long v) { return v <= 0; })) continue;
    for (std::size_t n = 0; n < 4; ++n)
      labels[kKinds[n]].insert(std::to_string(sizes[n] > 0 ? sizes[n] : 0));
  }
  return labels;
}

// What the program decodes for the kinds the labels name: every processor's size, 0 where a
// processor has no cache of the kind and `absentCounts` (the labels say "none" too).
tSizes Decoded(const std::vector<tCpuidStore>& stores, const tSizes& labels, bool absentCounts) {
  tSizes decoded;
  for (const tCpuidStore& store : stores) {
    const tCacheReport report = CachesOf(store);
    const std::pair<tKind, const tCacheInfo*> caches[] = {
        {tKind::L1D, report.Find(1, tCacheType::Data)},
        // A trace cache stands where the instruction cache does; both labels count it so.
        {tKind::L1I, report.Find(1, tCacheType::Instruction) != nullptr
                         ? report.Find(1, tCacheType::Instruction)
                         : report.Find(1, tCacheType::Trace)},
        {tKind::L2, report.Find(2, tCacheType::Unified)},
        {tKind::L3, report.Find(3, tCacheType::Unified)},
    };
    for (const auto& [kind, cache] : caches) {
      if (labels.count(kind) == 0 || (cache == nullptr && !absentCounts)) continue;
      decoded[kind].insert(std::to_string(cache != nullptr ? cache->SizeKB : 0));
    }
  }
  return decoded;
}

std::string Text(const std::set<std::string>& sizes) {
  std::string text;
  for (const std::string& size : sizes)
    text += (text.empty() ? "" : ",") + size;
  return text;
}

struct tDisagreement {
  const char* File;
  const char* Kind;
  const char* Label;    // the label's sizes in KB, comma-separated
  const char* Decoded;  // the program's
  const char* Reason;
};

// Every file whose labels and decoded sizes differ, and why.
const tDisagreement kDisagreements[] = {
    {"lc-amd-k7--amd-duron-spitfire.test", "L2", "1", "64",
     "The first Duron (family 6, model 3, stepping 0) reports 1 KB in 0x80000006 ECX for its 64 "
     "KB level-2 cache, an erratum of AMD's; libcpuid gives the register's value."},
    {"lc-amd-k10--magny-cours.test", "L3", "10240", "5120",
     "Magny-Cours (family 10h model 9) is two nodes in one package; 0x80000006 EDX gives the "
     "level-3 cache of both (AMD's family 10h BKDG), and each node has its own half, as the "
     "Linux kernel reports; libcpuid gives the register's value."},
};

TEST(FullListings, CacheSizesAgreeWithTheListingsLabels) {
  std::ifstream index(LUMARIAN_FIXTURES "/full/index.tsv");
  std::string row;
  std::getline(index, row);  // the column names
  unsigned labelled = 0;
  unsigned agreeing = 0;
  std::set<std::tuple<std::string, std::string>> found;
  while (std::getline(index, row)) {
    const std::string file = row.substr(0, row.find('\t'));
    const std::string text = ReadAll(LUMARIAN_FIXTURES "/full/" + file);
    const tListingRead read = ReadListing(text);
    ASSERT_TRUE(std::holds_alternative<std::vector<tCpuidStore>>(read)) << file;
    const std::vector<std::string> lines = Lines(text);
    // The listing tool labels the caches a processor has; libcpuid says "none" as well.
    const bool libcpuid = file.rfind("lc-", 0) == 0;
    const tSizes labels = libcpuid ? LibcpuidLabels(lines) : ListingLabels(lines);
    if (labels.empty()) continue;
    ++labelled;
    const tSizes decoded = Decoded(std::get<std::vector<tCpuidStore>>(read), labels, libcpuid);
    bool agrees = true;
    for (const auto& [kind, sizes] : labels) {
      const auto got = decoded.find(kind);
      const std::set<std::string> mine =
          got == decoded.end() ? std::set<std::string>{} : got->second;
      if (mine == sizes) continue;
      agrees = false;
      const auto listed = std::find_if(
          std::begin(kDisagreements), std::end(kDisagreements), [&](const tDisagreement& d) {
            return d.File == file && d.Kind == std::string(NameOf(kind));
          });
      found.insert({file, NameOf(kind)});
      if (listed == std::end(kDisagreements)) {
        ADD_FAILURE() << file << " " << NameOf(kind) << ": labels " << Text(sizes) << ", decoded "
                      << Text(mine);
        continue;
      }
      EXPECT_EQ(listed->Label, Text(sizes)) << file << " " << NameOf(kind);
      EXPECT_EQ(listed->Decoded, Text(mine)) << file << " " << NameOf(kind);
    }
    if (agrees) ++agreeing;
  }
  for (const tDisagreement& d : kDisagreements) {
    EXPECT_EQ(found.count({d.File, d.Kind}), 1u) << d.File << " " << d.Kind << " agrees now";
  }
  std::cout << agreeing << " of " << labelled << " labelled listings agree\n";
  // Every difference is listed above with its reason; the share keeps them few.
  EXPECT_GE(agreeing * 100, labelled * 98) << agreeing << " of " << labelled;
}

// Every listed processor: its file's lines and the stores the program reads from it.
struct tListing {
  std::string File;
  std::vector<std::string> Lines;
  std::vector<tCpuidStore> Stores;
};

std::vector<tListing> Listings() {
  std::vector<tListing> listings;
  std::ifstream index(LUMARIAN_FIXTURES "/full/index.tsv");
  std::string row;
  std::getline(index, row);  // the column names
  while (std::getline(index, row)) {
    tListing listing;
    listing.File = row.substr(0, row.find('\t'));
    const std::string text = ReadAll(LUMARIAN_FIXTURES "/full/" + listing.File);
    tListingRead read = ReadListing(text);
    if (auto* stores = std::get_if<std::vector<tCpuidStore>>(&read)) listing.Stores = *stores;
    listing.Lines = Lines(text);
    listings.push_back(std::move(listing));
  }
  return listings;
}

using tPlaceLabel =
    std::tuple<unsigned, unsigned, unsigned, unsigned>;  // APIC, package, core, thread

// Listings whose place labels the registers contradict, and why.
const std::pair<const char*, const char*> kPlaceDisagreements[] = {
    {"il-HygonGenuine0900F02_Hygon_CPUID.txt",
     "A Hygon C86 3185, 8 cores of 2 threads: 0x8000001E EBX 15..8 counts 2 threads per core "
     "(Zen's layout, family 0x18), and the brand says 8-core; the tool lists 16 cores of one "
     "thread."},
    {"il-Vortex86 SoC0000611_Vortex86DX3_CPUID.txt",
     "Leaf 1 clears the HTT bit (one logical processor in a package) and gives APIC IDs 0 and 1, "
     "so 1 is a second package; the tool puts both processors at one place, package 0 core 0 "
     "thread 0."},
};

TEST(FullListings, PlacesAgreeWithTheListingsLabels) {
  unsigned labelled = 0;
  for (const tListing& listing : Listings()) {
    std::multiset<tPlaceLabel> labels;
    for (const std::string& line : listing.Lines) {
      unsigned cpu, apic, package, core, thread;
      if (std::sscanf(line.c_str(), "CPU %u: APICID %u / Package %u / Core %u / Thread %u", &cpu,
                      &apic, &package, &core, &thread) == 5)
        labels.insert({apic, package, core, thread});
    }
    if (labels.empty()) continue;
    ++labelled;
    std::vector<tTopology> topologies;
    for (const tCpuidStore& store : listing.Stores)
      topologies.push_back(TopologyOf(store));
    const tMachineTopology machine = MachineTopologyOf(
        topologies, std::vector<tCoreType>(topologies.size(), tCoreType::Unknown));
    std::multiset<tPlaceLabel> decoded;
    for (std::size_t k = 0; k < topologies.size(); ++k) {
      const tPlace& p = machine.Places[k];
      decoded.insert({topologies[k].X2ApicId, p.Package, p.Core, p.Thread});
    }
    const bool listed = std::any_of(std::begin(kPlaceDisagreements), std::end(kPlaceDisagreements),
                                    [&](const auto& d) { return listing.File == d.first; });
    if (listed) {
      EXPECT_NE(decoded, labels) << listing.File << " agrees now";
    } else {
      EXPECT_EQ(decoded, labels) << listing.File;
    }
  }
  EXPECT_GT(labelled, 50u);
}

// AMD's 0xB has no die level; 0x80000026 has one, so it is read first on AMD. The expected
// counts are AMD's product data: the Ryzen 9 9950X has 16 cores and 32 threads on two CCDs,
// the Ryzen 5 7600X 6 cores and 12 threads on one, the Ryzen AI 9 HX 370 (Strix Point) 12
// cores and 24 threads on one monolithic die.
TEST(FullListings, AmdDiesComeFromLeaf80000026) {
  struct tCase {
    const char* File;
    unsigned Dies, Cores, Threads;
  };
  const tCase cases[] = {
      {"lc-amd-zen5--amd-ryzen-9-9950x-16-core-processor.test", 2, 16, 32},
      {"lc-amd-zen4--amd-ryzen-5-7600x-6-core-processor.test", 1, 6, 12},
      {"lc-amd-zen5--amd-ryzen-ai-9-hx-370-with-radeon-890m.test", 1, 12, 24},
  };
  for (const tCase& c : cases) {
    const tListingRead read =
        ReadListing(ReadAll(std::string(LUMARIAN_FIXTURES "/full/") + c.File));
    const auto* stores = std::get_if<std::vector<tCpuidStore>>(&read);
    ASSERT_NE(stores, nullptr) << c.File;
    std::vector<tTopology> topologies;
    for (const tCpuidStore& store : *stores) {
      topologies.push_back(TopologyOf(store));
      EXPECT_EQ(topologies.back().Source, tTopologySource::AmdExtendedTopology) << c.File;
    }
    const tMachineTopology machine = MachineTopologyOf(
        topologies, std::vector<tCoreType>(topologies.size(), tCoreType::Unknown));
    EXPECT_EQ(machine.Packages, 1u) << c.File;
    EXPECT_EQ(machine.Dies, c.Dies) << c.File;
    EXPECT_EQ(machine.Cores, c.Cores) << c.File;
    EXPECT_EQ(machine.Threads, c.Threads) << c.File;
  }
}

// AMD defines the core kind of 0x80000026 EBX only where EAX bit 30 says the cores differ; the
// tool writes "[P-Core]" on every Zen 4 and Zen 5 all the same.
bool Hybrid80000026(const std::string& line) {
  unsigned eax = 0;
  return std::sscanf(line.c_str(), "CPUID 80000026: %8x", &eax) == 1 && (eax >> 30 & 1) != 0;
}

TEST(FullListings, CoreKindsAgreeWithTheListingsLabels) {
  unsigned labelled = 0;
  for (const tListing& listing : Listings()) {
    unsigned labels[2] = {0, 0};  // performance, efficiency
    for (const std::string& line : listing.Lines) {
      if (line.rfind("CPUID 0000001A", 0) == 0) {
        labels[0] += line.find("[Core") != std::string::npos;
        labels[1] += line.find("[Atom") != std::string::npos;
      } else if (line.rfind("CPUID 80000026", 0) == 0 &&
                 line.find("[SL 00]") != std::string::npos && Hybrid80000026(line)) {
        labels[0] += line.find("[P-Core]") != std::string::npos ||
                     line.find("[P-core]") != std::string::npos;
        labels[1] += line.find("[E-Core]") != std::string::npos ||
                     line.find("[E-core]") != std::string::npos;
      }
    }
    if (labels[0] + labels[1] == 0) continue;
    ++labelled;
    unsigned decoded[2] = {0, 0};
    for (const tCpuidStore& store : listing.Stores) {
      const tCoreType kind = CoreTypeOf(store);
      decoded[0] += kind == tCoreType::Performance;
      decoded[1] += kind == tCoreType::Efficiency;
    }
    EXPECT_EQ(decoded[0], labels[0]) << listing.File << ": performance";
    EXPECT_EQ(decoded[1], labels[1]) << listing.File << ": efficiency";
  }
  EXPECT_GT(labelled, 10u);
}

}  // namespace
