#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "smbios/get_cpu_dmi_info.h"
#include "smbios/get_dmi.h"

namespace {

using tBytes = std::vector<std::uint8_t>;

void PutLE(tBytes& bytes, std::size_t at, std::uint64_t value, std::size_t size) {
  for (std::size_t k = 0; k < size; ++k)
    bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

tBytes Cut(tBytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

tBytes operator+(tBytes a, const tBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One structure: header, formatted area of `length` bytes in all, then the strings.
tBytes Structure(std::uint8_t type, std::uint8_t length, std::vector<std::string> strings = {}) {
  tBytes s(std::max<std::size_t>(length, 2), 0);
  s[0] = type;
  s[1] = length;
  for (const std::string& text : strings) {
    s.insert(s.end(), text.begin(), text.end());
    s.push_back(0);
  }
  if (strings.empty()) s.push_back(0);
  s.push_back(0);
  return s;
}

struct tCpu {
  std::uint16_t ExtClock = 0, MaxSpeed = 0, CurrentSpeed = 0;
  std::uint8_t Status = 0x41;
  std::uint16_t L1 = 0, L2 = 0, L3 = 0;
};

tBytes Processor(const tCpu& cpu, std::uint8_t length = 0x20) {
  tBytes s = Structure(4, length, {"CPU0", "Maker"});
  tBytes fields(0x20, 0);
  PutLE(fields, 0x12, cpu.ExtClock, 2);
  PutLE(fields, 0x14, cpu.MaxSpeed, 2);
  PutLE(fields, 0x16, cpu.CurrentSpeed, 2);
  fields[0x18] = cpu.Status;
  PutLE(fields, 0x1A, cpu.L1, 2);
  PutLE(fields, 0x1C, cpu.L2, 2);
  PutLE(fields, 0x1E, cpu.L3, 2);
  std::copy(fields.begin() + 0x12, fields.begin() + length, s.begin() + 0x12);
  return s;
}

tBytes EntryPoint2(std::uint16_t length, std::uint32_t address, std::uint16_t count) {
  tBytes e(0x1F, 0);
  std::copy_n("_SM_", 4, e.begin());
  std::copy_n("_DMI_", 5, e.begin() + 0x10);
  PutLE(e, 0x16, length, 2);
  PutLE(e, 0x18, address, 4);
  PutLE(e, 0x1C, count, 2);
  return e;
}

tBytes EntryPoint3(std::uint32_t maxSize, std::uint64_t address) {
  tBytes e(0x18, 0);
  std::copy_n("_SM3_", 5, e.begin());
  PutLE(e, 0x0C, maxSize, 4);
  PutLE(e, 0x10, address, 8);
  return e;
}

// Serves the bytes a test built; physical memory is a set of regions.
class tFakeSource final : public ISMBIOSSource {
 public:
  bool HasKernel = false;
  tBytes KernelEntry, KernelTable;
  bool HasArea = false;
  tBytes Area;
  std::map<std::uint64_t, tBytes> Physical;
  int PhysicalReads = 0;

  bool KernelTables(tBytes& entryPoint, tBytes& table) override {
    entryPoint = KernelEntry;
    table = KernelTable;
    return HasKernel;
  }
  bool BIOSArea(tBytes& area) override {
    area = Area;
    return HasArea;
  }
  bool ReadPhysical(std::uint64_t address, std::size_t length, tBytes& out) override {
    ++PhysicalReads;
    for (const auto& [base, bytes] : Physical) {
      if (address >= base && address - base + length <= bytes.size()) {
        out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(address - base),
                   bytes.begin() + static_cast<std::ptrdiff_t>(address - base + length));
        return true;
      }
    }
    return false;
  }

  void Kernel(tBytes entry, tBytes table) {
    HasKernel = true;
    KernelEntry = std::move(entry);
    KernelTable = std::move(table);
  }
  // A 64 KiB area holding `entry` at `at` and, when given, the table at `tableAt`.
  void BIOS(std::size_t at, const tBytes& entry, std::size_t tableAt = 0,
            const tBytes& table = {}) {
    if (!HasArea) Area.assign(0x10000, 0);
    HasArea = true;
    std::copy(entry.begin(), entry.end(), Area.begin() + static_cast<std::ptrdiff_t>(at));
    std::copy(table.begin(), table.end(), Area.begin() + static_cast<std::ptrdiff_t>(tableAt));
  }
};

// What ReadSMBIOS promises whatever the bytes: every indexed structure lies wholly inside.
void ExpectIndexInside(const tSMBIOSTables& t) {
  std::uint32_t previous = 0;
  for (std::size_t k = 0; k < t.StructStart.size(); ++k) {
    const std::uint32_t s = t.StructStart[k];
    ASSERT_LT(std::size_t{s} + 1, t.SMBIOSTable.size()) << "structure " << k;
    if (k > 0) {
      EXPECT_GT(s, previous);
    }
    previous = s;
  }
}

tSMBIOSProcessor Cpu(std::uint16_t extClock, std::uint16_t current, std::uint8_t status = 0x41) {
  return {.ExtClock = extClock,
          .MaxSpeed = 0,
          .CurrentSpeed = current,
          .Populated = (status >> 6) == 1,
          .StatusText = ProcessorStatusNames[status & 7]};
}

TEST(ReadSMBIOS, TheLastAnchorOfTheAreaWinsAtAnyBytePosition) {
  const tBytes first = Processor({.ExtClock = 100}) + Structure(127, 4);
  const tBytes second = Processor({.ExtClock = 133}) + Structure(127, 4);
  tFakeSource source;
  source.BIOS(0x10, EntryPoint2(first.size(), 0xF8000, 2), 0x8000, first);
  source.BIOS(0x123, EntryPoint2(second.size(), 0xF9000, 2), 0x9000, second);
  const tSMBIOSTables t = ReadSMBIOS(source);
  ASSERT_TRUE(t.SMBIOSAvailable);
  EXPECT_EQ(t.TableAddress, 0xF9000u);
  EXPECT_EQ(GetCpuDmiInfo(t)[0].ExtClock, 133);
  EXPECT_EQ(source.PhysicalReads, 0);
}

TEST(ReadSMBIOS, TablesOutsideTheAreaComeFromPhysicalMemory) {
  const tBytes table = Processor({.ExtClock = 200}) + Structure(127, 4);
  struct Case {
    std::uint32_t address;
    bool readable;
    bool available;
  };
  const Case cases[] = {
      {0x7FF00000, true, true},
      {0x7FF00000, false, false},
      {0xFFFF0, true, true},  // starts inside the area, ends past it
      {0xE0000, true, true},
  };
  for (const Case& c : cases) {
    tFakeSource source;
    source.BIOS(0x40, EntryPoint2(table.size(), c.address, 2));
    if (c.readable) source.Physical[c.address] = table;
    const tSMBIOSTables t = ReadSMBIOS(source);
    EXPECT_EQ(t.SMBIOSAvailable, c.available) << std::hex << c.address;
    EXPECT_EQ(source.PhysicalReads, 1);
    EXPECT_EQ(GetCpuDmiInfo(t)[0].ExtClock, c.available ? 200 : 0);
  }
}

TEST(ReadSMBIOS, TheKernelCopyComesFirstAndAnUnusableOneFallsBackToTheArea) {
  const tBytes kernelTable = Processor({.ExtClock = 166}) + Structure(127, 4);
  const tBytes areaTable = Processor({.ExtClock = 66}) + Structure(127, 4);
  struct Case {
    tBytes kernelEntry;
    std::uint16_t extClock;
  };
  const Case cases[] = {
      {EntryPoint2(kernelTable.size(), 0x12345678, 2), 166},
      {EntryPoint3(kernelTable.size(), 0x7654321000), 166},
      {Cut(EntryPoint3(100, 0), 0x17), 66},  // truncated
      {tBytes(0x1F, 0), 66},                 // no anchor
  };
  for (const Case& c : cases) {
    tFakeSource source;
    source.Kernel(c.kernelEntry, kernelTable);
    source.BIOS(0x800, EntryPoint2(areaTable.size(), 0xF1000, 2), 0x1000, areaTable);
    EXPECT_EQ(GetCpuDmiInfo(ReadSMBIOS(source))[0].ExtClock, c.extClock);
  }
}

TEST(ReadSMBIOS, WholeTableIsIndexedWithoutTheOldCuts) {
  // 300 structures over some 3000 bytes: the processor lies past byte 2048 and past
  // structure 255.
  tBytes table;
  for (int k = 0; k < 299; ++k)
    table = table + Structure(1, 8);
  table = table + Processor({.ExtClock = 100});
  ASSERT_GT(table.size(), 2048u);
  tFakeSource source;
  source.Kernel(EntryPoint2(table.size(), 0, 300), table);
  const tSMBIOSTables t = ReadSMBIOS(source);
  EXPECT_EQ(t.SMBIOSTable.size(), table.size());
  EXPECT_EQ(t.StructStart.size(), 300u);
  EXPECT_EQ(GetCpuDmiInfo(t)[0].ExtClock, 100);
}

TEST(ReadSMBIOS, WalkStepsOverStringsAndStopsAtCountOrEndOfTable) {
  const tBytes table = Structure(0, 0x18, {"Vendor", "1.0"}) + Structure(1, 0x1B) +
                       Structure(127, 4) + Structure(2, 8);
  struct Case {
    tBytes entry;
    std::vector<std::uint32_t> starts;
    std::uint32_t count;
  };
  const Case cases[] = {
      // 0x18 + "Vendor\0" + "1.0\0" + NUL; a structure without strings ends two bytes after
      // its formatted area.
      {EntryPoint2(table.size(), 0, 4), {0, 0x24, 0x41, 0x47}, 4},
      {EntryPoint2(table.size(), 0, 2), {0, 0x24}, 2},
      {EntryPoint2(table.size(), 0, 65535), {0, 0x24, 0x41, 0x47}, 65535},
      {EntryPoint3(table.size(), 0), {0, 0x24, 0x41}, 3},  // up to the end-of-table structure
      {EntryPoint3(0x41, 0), {0, 0x24}, 2},  // the maximum size ends the table after these two
      {EntryPoint3(0x40, 0), {0}, 1},        // ... or one byte inside the second
  };
  for (const Case& c : cases) {
    tFakeSource source;
    source.Kernel(c.entry, table);
    const tSMBIOSTables t = ReadSMBIOS(source);
    EXPECT_EQ(t.StructStart, c.starts);
    EXPECT_EQ(t.StructCount, c.count);
  }
}

TEST(ReadSMBIOS, HostileBytesReadNothingOutOfBounds) {
  tBytes noTerminators(300, 0xFF);
  tBytes lengthZero = {4, 0, 1, 2, 3};
  tBytes lengthMax = Processor({.ExtClock = 1});
  lengthMax[1] = 255;
  struct Case {
    const char* name;
    tFakeSource source;
    bool available;
    std::size_t structures;
  };
  std::vector<Case> cases(9);
  cases[0] = {"no terminators", {}, true, 0};
  cases[0].source.Kernel(EntryPoint2(300, 0, 65535), noTerminators);
  cases[1] = {"length byte 0", {}, true, 0};
  cases[1].source.Kernel(EntryPoint2(5, 0, 10), lengthZero);
  cases[2] = {"length byte 255", {}, true, 0};
  cases[2].source.Kernel(EntryPoint2(lengthMax.size(), 0, 10), lengthMax);
  cases[3] = {"table length 0", {}, false, 0};
  cases[3].source.Kernel(EntryPoint2(0, 0, 10), Structure(127, 4));
  cases[4] = {"anchor cut by the end of the area", {}, false, 0};
  cases[4].source.BIOS(0x10000 - 0x1D, Cut(EntryPoint2(0, 0, 0), 0x1D));
  cases[5] = {"table past physical memory", {}, false, 0};
  cases[5].source.BIOS(0, EntryPoint2(0xFFFF, 0xFFFFFFF0, 10));
  cases[6] = {"table longer than the area", {}, false, 0};
  cases[6].source.BIOS(0, EntryPoint2(0xFFFF, 0xF0010, 10));
  cases[7] = {"area of a few bytes", {}, false, 0};
  cases[7].source.HasArea = true;
  cases[7].source.Area = {'_', 'S', 'M', '_', 0x10};
  cases[8] = {"short table file", {}, true, 1};
  cases[8].source.Kernel(EntryPoint2(0xFFFF, 0, 65535), Structure(4, 0x1A) + tBytes{4, 0x20, 0});
  for (Case& c : cases) {
    const tSMBIOSTables t = ReadSMBIOS(c.source);
    EXPECT_EQ(t.SMBIOSAvailable, c.available) << c.name;
    EXPECT_EQ(t.StructStart.size(), c.structures) << c.name;
    ExpectIndexInside(t);
    EXPECT_EQ(GetCpuDmiInfo(t).size(), 8u) << c.name;
  }
}

TEST(ReadSMBIOS, ASourceThatThrowsGivesNoTables) {
  class tThrowing final : public ISMBIOSSource {
    bool KernelTables(tBytes&, tBytes&) override { throw std::runtime_error("device"); }
    bool BIOSArea(tBytes&) override { return false; }
    bool ReadPhysical(std::uint64_t, std::size_t, tBytes&) override { return false; }
  } source;
  EXPECT_FALSE(ReadSMBIOS(source).SMBIOSAvailable);
}

TEST(GetCpuDmiInfo, StatusByteGivesPopulatedAndText) {
  struct Case {
    std::uint8_t status;
    bool populated;
    std::string_view text;
  };
  const Case cases[] = {
      {0x41, true, "CPU Enabled"},
      {0xC1, false, "CPU Enabled"},
      {0x45, true, ""},
      {0x46, true, ""},
      {0x00, false, "Unknown"},
      {0x42, true, "CPU Disabled by user"},
      {0x03, false, "CPU Disabled by POST"},
      {0x44, true, "Idle"},
      {0x87, false, "Other"},
  };
  for (const Case& c : cases) {
    tFakeSource source;
    const tBytes table = Processor({.Status = c.status});
    source.Kernel(EntryPoint2(table.size(), 0, 1), table);
    const tSMBIOSProcessor p = GetCpuDmiInfo(ReadSMBIOS(source))[0];
    EXPECT_EQ(p.Populated, c.populated) << int{c.status};
    EXPECT_EQ(p.StatusText, c.text) << int{c.status};
  }
}

TEST(GetCpuDmiInfo, EntriesFollowTableOrderWithAtLeastEight) {
  tBytes two = Structure(0, 0x18) + Processor({133, 3200, 2800, 0x41, 0x700, 0x701, 0x702}) +
               Structure(7, 0x13) + Processor({.ExtClock = 200, .CurrentSpeed = 2400});
  tFakeSource source;
  source.Kernel(EntryPoint2(two.size(), 0, 4), two);
  std::vector<tSMBIOSProcessor> expected(8);
  expected[0] = {133, 3200, 2800, true, "CPU Enabled", 0x700, 0x701, 0x702};
  expected[1] = Cpu(200, 2400);
  EXPECT_EQ(GetCpuDmiInfo(ReadSMBIOS(source)), expected);

  tBytes ten;
  expected.clear();
  for (std::uint16_t k = 0; k < 10; ++k) {
    ten = ten + Processor({.ExtClock = static_cast<std::uint16_t>(100 + k), .CurrentSpeed = k});
    expected.push_back(Cpu(100 + k, k));
  }
  source.Kernel(EntryPoint3(ten.size(), 0), ten);
  EXPECT_EQ(GetCpuDmiInfo(ReadSMBIOS(source)), expected);
}

TEST(GetCpuDmiInfo, ShortStructuresReadOnlyTheBytesTheTableHolds) {
  // A 0x1A-byte processor structure: the handles are read from the bytes after it, as long
  // as the table holds them; at the end of the table they stay zero.
  const tCpu cpu{.ExtClock = 66, .MaxSpeed = 300, .CurrentSpeed = 233, .Status = 0x41};
  const tBytes withoutStrings = Cut(Processor(cpu, 0x1A), 0x1A) + tBytes{0, 0};
  tBytes next = Structure(7, 0x13);
  PutLE(next, 2, 0x5678, 2);
  const tBytes followed = withoutStrings + next + Structure(127, 4);
  struct Case {
    tBytes table;
    std::uint32_t l1, l2, l3;
  };
  const Case cases[] = {{followed, 0, 0x1307, 0x5678}, {withoutStrings, 0, 0, 0}};
  for (const Case& c : cases) {
    tFakeSource source;
    source.Kernel(EntryPoint2(c.table.size(), 0, 3), c.table);
    tSMBIOSProcessor expected = {66, 300, 233, true, "CPU Enabled", c.l1, c.l2, c.l3};
    EXPECT_EQ(GetCpuDmiInfo(ReadSMBIOS(source))[0], expected);
  }

  tSMBIOSTables handBuilt;
  handBuilt.SMBIOSTable = {4, 0x20, 0, 0};
  handBuilt.StructStart = {0, 2, 1000};
  EXPECT_EQ(GetCpuDmiInfo(handBuilt), std::vector<tSMBIOSProcessor>(8));
}

class SystemSMBIOSSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/smbios-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const tBytes& bytes, std::uint64_t at = 0) {
    std::fstream f(dir_ / name, std::ios::binary | std::ios::in | std::ios::out | std::ios::app);
    f.close();
    f.open(dir_ / name, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(at));
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path dir_;
};

TEST_F(SystemSMBIOSSourceTest, ReadsTheKernelFilesAndPhysicalMemoryExactly) {
  auto source = SMBIOSSourceAt(dir_.string(), (dir_ / "mem").string());
  tBytes entry, table, area;
  EXPECT_FALSE(source->KernelTables(entry, table));
  EXPECT_FALSE(source->BIOSArea(area));

  const tBytes dmi = Processor({.ExtClock = 100}) + Structure(127, 4);
  Write("smbios_entry_point", EntryPoint3(dmi.size(), 0x80000));
  EXPECT_FALSE(source->KernelTables(entry, table));  // no table file
  Write("DMI", dmi);
  ASSERT_TRUE(source->KernelTables(entry, table));
  EXPECT_EQ(table, dmi);

  // Memory that ends inside the BIOS area is a short read; a table placed below the area is
  // found through its address.
  Write("mem", EntryPoint2(dmi.size(), 0x80000, 2), 0xF0100);
  EXPECT_FALSE(source->BIOSArea(area));
  Write("mem", dmi, 0x80000);
  Write("mem", {0}, 0xFFFFF);
  std::filesystem::remove(dir_ / "DMI");
  const tSMBIOSTables t = ReadSMBIOS(*source);
  ASSERT_TRUE(t.SMBIOSAvailable);
  EXPECT_EQ(GetCpuDmiInfo(t)[0].ExtClock, 100);
  tBytes out;
  EXPECT_FALSE(source->ReadPhysical(0xFFFFF, 2, out));
  EXPECT_FALSE(source->ReadPhysical(~std::uint64_t{0} - 1, 4, out));
}

TEST_F(SystemSMBIOSSourceTest, TellsARefusedReadFromTablesThatAreNotThere) {
  auto missing = SMBIOSSourceAt((dir_ / "none").string(), (dir_ / "mem").string());
  EXPECT_FALSE(ReadSMBIOS(*missing).SMBIOSAvailable);
  EXPECT_FALSE(missing->PermissionDenied());

  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their mode";
  Write("smbios_entry_point", EntryPoint3(8, 0));
  Write("DMI", Structure(127, 4));
  Write("mem", {0});
  for (const char* name : {"smbios_entry_point", "DMI", "mem"})
    std::filesystem::permissions(dir_ / name, std::filesystem::perms::none);
  auto refused = SMBIOSSourceAt(dir_.string(), (dir_ / "mem").string());
  EXPECT_FALSE(ReadSMBIOS(*refused).SMBIOSAvailable);
  EXPECT_TRUE(refused->PermissionDenied());
}

TEST(SystemSMBIOSSource, ThisMachineGivesTablesOrNoneWithoutFailing) {
  const tSMBIOSTables t = ReadSMBIOS(*SystemSMBIOSSource());
  ExpectIndexInside(t);
  if (!t.SMBIOSAvailable) {
    EXPECT_EQ(GetCpuDmiInfo(t), std::vector<tSMBIOSProcessor>(8));
  }
}

}  // namespace
