#include "tests/support/EngineFixtures.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <variant>

#include <gtest/gtest.h>

#include "app/DumpFiles.h"
#include "platform/ReplayProcessorServices.h"

namespace {

std::uint32_t SetBits(std::uint32_t value, unsigned lo, unsigned hi, std::uint32_t field) {
  const std::uint32_t mask =
      static_cast<std::uint32_t>(((std::uint64_t{1} << (hi - lo + 1)) - 1) << lo);
  return (value & ~mask) | ((field << lo) & mask);
}

}  // namespace

std::uint32_t PackText(std::string_view text, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    const auto c = at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u;
    value |= static_cast<std::uint32_t>(c) << (8 * k);
  }
  return value;
}

tCpuidStore StoreOf(std::string_view vendor, std::uint32_t maxStandardLeaf,
                    std::initializer_list<tCpuidEntry> answers) {
  tCpuidStore store;
  store.Put(0, 0, {maxStandardLeaf, PackText(vendor, 0), PackText(vendor, 8), PackText(vendor, 4)});
  for (const tCpuidEntry& answer : answers)
    store.Put(answer.Leaf, answer.SubLeaf, answer.Result);
  return store;
}

tCpuidStore RaptorLakeStore(std::uint32_t x2apic, bool efficiency) {
  const std::uint32_t smt = efficiency ? 1 : 2;
  return StoreOf("GenuineIntel", 0x20,
                 {{1, 0, {0x000B0671, x2apic << 24, 0, 0}},
                  {0xB, 0, {1, smt, 0x100, x2apic}},
                  {0xB, 1, {7, 0x14, 0x201, x2apic}},
                  {0xB, 2, {0, 0, 2, x2apic}},
                  {0x16, 0, {0xDAC, 0x14B4, 0x64, 0}},
                  {0x1A, 0, {efficiency ? 0x20000001u : 0x40000001u, 0, 0, 0}},
                  {0x1F, 0, {1, smt, 0x100, x2apic}},
                  {0x1F, 1, {7, 0x14, 0x201, x2apic}},
                  {0x1F, 2, {0, 0, 2, x2apic}}});
}

tRawCpu::tRawCpu() {
  data_.StdLeaf[0].EAX = 1;
}

tCPUIDResult& tRawCpu::At(std::uint32_t leaf) {
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    if (CaptureLeaf(k) == leaf) return data_.Row(k);
  }
  throw std::out_of_range("leaf is not captured");
}

tRawCpu& tRawCpu::Vendor(std::string_view text) {
  data_.StdLeaf[0].EBX = PackText(text, 0);
  data_.StdLeaf[0].EDX = PackText(text, 4);
  data_.StdLeaf[0].ECX = PackText(text, 8);
  return *this;
}

tRawCpu& tRawCpu::MaxStandardLeaf(std::uint32_t leaf) {
  data_.StdLeaf[0].EAX = leaf;
  return *this;
}

tRawCpu& tRawCpu::MaxExtendedLeaf(std::uint32_t leaf) {
  data_.ExtLeaf[0].EAX = leaf;
  return *this;
}

tRawCpu& tRawCpu::Signature(unsigned family, unsigned model, unsigned stepping) {
  std::uint32_t& eax = data_.StdLeaf[1].EAX;
  eax = SetBits(eax, 8, 11, family);
  eax = SetBits(eax, 4, 7, model);
  eax = SetBits(eax, 0, 3, stepping);
  return *this;
}

tRawCpu& tRawCpu::ProcessorType(unsigned type) {
  data_.StdLeaf[1].EAX = SetBits(data_.StdLeaf[1].EAX, 12, 13, type);
  return *this;
}

tRawCpu& tRawCpu::ExtendedFamilyModel(unsigned extFamily, unsigned extModel) {
  std::uint32_t& eax = data_.StdLeaf[1].EAX;
  eax = SetBits(eax, 20, 27, extFamily);
  eax = SetBits(eax, 16, 19, extModel);
  return *this;
}

tRawCpu& tRawCpu::BrandId(unsigned id) {
  data_.StdLeaf[1].EBX = SetBits(data_.StdLeaf[1].EBX, 0, 7, id);
  return *this;
}

tRawCpu& tRawCpu::LogicalCpus(unsigned count) {
  data_.StdLeaf[1].EBX = SetBits(data_.StdLeaf[1].EBX, 16, 23, count);
  return *this;
}

tRawCpu& tRawCpu::ApicId(unsigned id) {
  data_.StdLeaf[1].EBX = SetBits(data_.StdLeaf[1].EBX, 24, 31, id);
  return *this;
}

tRawCpu& tRawCpu::StdEdxBit(unsigned bit) {
  data_.StdLeaf[1].EDX |= std::uint32_t{1} << bit;
  return *this;
}

tRawCpu& tRawCpu::StdEcxBit(unsigned bit) {
  data_.StdLeaf[1].ECX |= std::uint32_t{1} << bit;
  return *this;
}

tRawCpu& tRawCpu::ExtSignature(unsigned family, unsigned model, unsigned stepping,
                               unsigned extFamily, unsigned extModel) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000001);
  std::uint32_t& eax = data_.ExtLeaf[1].EAX;
  eax = SetBits(eax, 8, 11, family);
  eax = SetBits(eax, 4, 7, model);
  eax = SetBits(eax, 0, 3, stepping);
  eax = SetBits(eax, 20, 27, extFamily);
  eax = SetBits(eax, 16, 19, extModel);
  return *this;
}

tRawCpu& tRawCpu::ExtBrandId(unsigned id) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000001);
  data_.ExtLeaf[1].EBX = SetBits(data_.ExtLeaf[1].EBX, 0, 11, id);
  return *this;
}

tRawCpu& tRawCpu::ExtEdxBit(unsigned bit) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000001);
  data_.ExtLeaf[1].EDX |= std::uint32_t{1} << bit;
  return *this;
}

tRawCpu& tRawCpu::Brand(std::string_view text) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000004);
  for (std::size_t leaf = 0; leaf < 3; ++leaf) {
    tCPUIDResult& r = data_.ExtLeaf[2 + leaf];
    r = {PackText(text, 16 * leaf), PackText(text, 16 * leaf + 4), PackText(text, 16 * leaf + 8),
         PackText(text, 16 * leaf + 12)};
  }
  return *this;
}

tRawCpu& tRawCpu::PowerManagement(std::uint32_t edx) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000007);
  data_.ExtLeaf[7].EDX = edx;
  return *this;
}

tRawCpu& tRawCpu::CoreCount(unsigned cores) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000008);
  data_.ExtLeaf[8].ECX = SetBits(data_.ExtLeaf[8].ECX, 0, 7, cores - 1);
  return *this;
}

tRawCpu& tRawCpu::SizeLeafL2(unsigned kb, unsigned assocCode, unsigned lineSize) {
  data_.ExtLeaf[0].EAX = std::max<std::uint32_t>(data_.ExtLeaf[0].EAX, 0x80000006);
  data_.StdLeaf[0].EAX = std::min<std::uint32_t>(data_.StdLeaf[0].EAX, 1);
  data_.ExtLeaf[6].ECX = (kb << 16) | (assocCode << 12) | (1u << 8) | lineSize;
  return *this;
}

tRawCpu& tRawCpu::Descriptors(std::initializer_list<std::uint8_t> bytes) {
  if (bytes.size() > 15) throw std::invalid_argument("leaf 2 holds 15 descriptors");
  data_.StdLeaf[0].EAX = std::max<std::uint32_t>(data_.StdLeaf[0].EAX, 2);
  std::uint32_t regs[4] = {1, 0, 0, 0};
  std::size_t place = 1;  // byte 0 of EAX is the repeat count
  for (const std::uint8_t b : bytes) {
    regs[place / 4] |= static_cast<std::uint32_t>(b) << (8 * (place % 4));
    ++place;
  }
  data_.StdLeaf[2] = {regs[0], regs[1], regs[2], regs[3]};
  return *this;
}

tRawCpu& tRawCpu::IntelCaches(unsigned l2kb, bool l3) {
  std::uint8_t l2 = 0;
  switch (l2kb) {
    case 0:
      break;
    case 128:
      l2 = 0x79;
      break;
    case 256:
      l2 = 0x7A;
      break;
    case 512:
      l2 = 0x7B;
      break;
    case 1024:
      l2 = 0x7C;
      break;
    case 2048:
      l2 = 0x7D;
      break;
    default:
      throw std::invalid_argument("no descriptor for that level-2 size");
  }
  // 0x66: level-1 data cache; 0x22: a level-3 cache.
  return Descriptors({0x66, l2, static_cast<std::uint8_t>(l3 ? 0x22 : 0x00)});
}

tRawCpu& tRawCpu::Leaf(std::uint32_t leaf, tCPUIDResult result) {
  At(leaf) = result;
  return *this;
}

tRawCpu tRawCpu::Intel(unsigned family, unsigned model, unsigned stepping) {
  tRawCpu cpu;
  cpu.Vendor("GenuineIntel").Signature(family, model, stepping);
  return cpu;
}

tRawCpu tRawCpu::Amd(unsigned family, unsigned model, unsigned stepping) {
  tRawCpu cpu;
  cpu.Vendor("AuthenticAMD").Signature(family, model, stepping);
  return cpu;
}

std::unique_ptr<cCPUid> IdentifiedData(const std::vector<tCPUdata>& cpus) {
  std::vector<platform::tCpuidRecording> recordings;
  for (const tCPUdata& data : cpus)
    recordings.push_back(RecordingOf(data));
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)), true);
}

std::unique_ptr<cCPUid> IdentifiedStores(const std::vector<tCpuidStore>& cpus) {
  std::vector<platform::tCpuidRecording> recordings;
  for (const tCpuidStore& store : cpus)
    recordings.push_back(RecordingOf(store));
  return std::make_unique<cCPUid>(
      std::make_unique<platform::cReplayProcessorServices>(std::move(recordings)), true);
}

std::unique_ptr<cCPUid> Identified(const std::vector<tRawCpu>& cpus) {
  std::vector<tCPUdata> data;
  for (const tRawCpu& cpu : cpus)
    data.push_back(cpu.Data());
  return IdentifiedData(data);
}

std::string FixturePath(std::string_view name) {
  return std::string(LUMARIAN_FIXTURES) + "/cpuid/" + std::string(name);
}

std::vector<std::string> FixtureNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FixturePath(""))) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_ptr<cCPUid> IdentifiedFixture(std::string_view name) {
  auto loaded = LoadDumpFile(FixturePath(name));
  if (const auto* error = std::get_if<std::string>(&loaded)) throw std::runtime_error(*error);
  tCPUdata data;
  ApplyLegacyRows(std::get<std::vector<tCpuidStore>>(loaded).front(), data);
  return IdentifiedData({data});
}

void ExpectName(const tnameinfo& name, const tExpectedName& expected) {
  EXPECT_EQ(name.CodeName.View(), expected.CodeName);
  EXPECT_EQ(name.CpuName.View(), expected.CpuName);
  EXPECT_EQ(name.Rating.View(), expected.Rating);
  EXPECT_EQ(name.LogoKey, expected.LogoKey);
  EXPECT_EQ(name.Platform.View(), expected.Platform);
  EXPECT_EQ(name.TechProcess.View(), expected.TechProcess);
  EXPECT_EQ(name.TranQuantity.View(), expected.TranQuantity);
  EXPECT_EQ(name.DieSize.View(), expected.DieSize);
}
