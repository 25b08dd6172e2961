// Test support: raw CPUID captures built from the fields a test cares about, and engines
// that identify them (or the recorded processors in tests/fixtures) through replay.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CPUid.h"
#include "engine/store/CommonTypes.h"
#include "engine/store/CpuidStore.h"

// Four characters of `text` from `at` as a register holds them, the first in the low byte;
// NUL past the text's end.
std::uint32_t PackText(std::string_view text, std::size_t at);

// A raw capture of one processor, built field by field. It starts all zero except the
// maximum standard leaf, which is 1. Methods that fill a leaf raise the maximum leaf that
// reaches it where needed.
class tRawCpu {
 public:
  tRawCpu();

  tRawCpu& Vendor(std::string_view twelveCharacters);                      // leaf 0 EBX, EDX, ECX
  tRawCpu& MaxStandardLeaf(std::uint32_t leaf);                            // leaf 0 EAX
  tRawCpu& MaxExtendedLeaf(std::uint32_t leaf);                            // leaf 0x80000000 EAX
  tRawCpu& Signature(unsigned family, unsigned model, unsigned stepping);  // leaf 1 EAX 11..0
  tRawCpu& ProcessorType(unsigned type);                                   // leaf 1 EAX 13..12
  tRawCpu& ExtendedFamilyModel(unsigned extFamily, unsigned extModel);     // leaf 1 EAX 27..16
  tRawCpu& BrandId(unsigned id);                                           // leaf 1 EBX 7..0
  tRawCpu& LogicalCpus(unsigned count);                                    // leaf 1 EBX 23..16
  tRawCpu& ApicId(unsigned id);                                            // leaf 1 EBX 31..24
  tRawCpu& StdEdxBit(unsigned bit);                                        // leaf 1 EDX
  tRawCpu& StdEcxBit(unsigned bit);                                        // leaf 1 ECX
  // Leaf 0x80000001 EAX: extended signature.
  tRawCpu& ExtSignature(unsigned family, unsigned model, unsigned stepping, unsigned extFamily = 0,
                        unsigned extModel = 0);
  tRawCpu& ExtBrandId(unsigned id);             // leaf 0x80000001 EBX 11..0
  tRawCpu& ExtEdxBit(unsigned bit);             // leaf 0x80000001 EDX
  tRawCpu& Brand(std::string_view text);        // leaves 0x80000002..4, NUL padded to 48
  tRawCpu& PowerManagement(std::uint32_t edx);  // leaf 0x80000007 EDX
  tRawCpu& CoreCount(unsigned cores);           // leaf 0x80000008 ECX 7..0 = cores - 1
  // Leaf 0x80000006 ECX with a level-2 cache of `kb` KB; the maximum standard leaf stays
  // below 2, so the size leaves are decoded.
  tRawCpu& SizeLeafL2(unsigned kb, unsigned assocCode = 8, unsigned lineSize = 64);
  // Leaf 2 with the repeat count 1 and these descriptor bytes (at most 15).
  tRawCpu& Descriptors(std::initializer_list<std::uint8_t> bytes);
  // Intel caches by descriptor: a level-2 cache of 0, 128, 256, 512, 1024 or 2048 KB and
  // optionally a level-3 cache.
  tRawCpu& IntelCaches(unsigned l2kb, bool l3 = false);
  tRawCpu& Leaf(std::uint32_t leaf, tCPUIDResult result);

  // Frequent shapes: a vendor string plus the leaf-1 signature.
  static tRawCpu Intel(unsigned family, unsigned model, unsigned stepping);
  static tRawCpu Amd(unsigned family, unsigned model, unsigned stepping);

  const tCPUdata& Data() const { return data_; }

 private:
  tCPUIDResult& At(std::uint32_t leaf);
  tCPUdata data_;
};

// A store holding leaf 0 (the vendor string and the maximum standard leaf) and `answers`.
tCpuidStore StoreOf(std::string_view vendor, std::uint32_t maxStandardLeaf,
                    std::initializer_list<tCpuidEntry> answers);

// A logical processor of a Raptor Lake (Core i5-14600K, IL GenuineIntel00B0671_RaptorLake_12)
// with this x2APIC ID: leaves 1, 0xB, 0x16 ("[3500 / 5300 / 100]"), 0x1A and 0x1F; a
// performance core counts 2 logical processors at the SMT level, an efficiency core 1, and
// the package 20 at the core level (shift 7).
tCpuidStore RaptorLakeStore(std::uint32_t x2apic, bool efficiency);

// The texts and logo key a name record should hold.
struct tExpectedName {
  std::string_view CodeName;
  std::string_view CpuName;
  std::string_view Rating;
  std::uint16_t LogoKey = 0;
  std::string_view Platform;
  std::string_view TechProcess;
  std::string_view TranQuantity;
  std::string_view DieSize;
};

// Checks every field of a name record (GoogleTest expectations).
void ExpectName(const tnameinfo& name, const tExpectedName& expected);

// An engine that identified these processors, slot by slot, through replay services.
std::unique_ptr<cCPUid> Identified(const std::vector<tRawCpu>& cpus);
std::unique_ptr<cCPUid> IdentifiedData(const std::vector<tCPUdata>& cpus);
std::unique_ptr<cCPUid> IdentifiedStores(const std::vector<tCpuidStore>& cpus);

// Path of a file in tests/fixtures/cpuid.
std::string FixturePath(std::string_view name);
// The dump files in tests/fixtures/cpuid, sorted by name.
std::vector<std::string> FixtureNames();
// An engine that identified the processor of a fixture dump, read the way --load reads it.
std::unique_ptr<cCPUid> IdentifiedFixture(std::string_view name);
