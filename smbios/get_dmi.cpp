// Finding the SMBIOS entry point and indexing the structure table. Every read is checked
// against the bytes actually held: the length and count fields of the firmware are trusted
// only as far as those bytes reach.
#include "smbios/get_dmi.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "protocol/LittleEndian.h"

namespace {

using tBytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kEndOfTable = 127;

// Little-endian field of `size` bytes at `at`; the caller has checked that it lies inside.
std::uint64_t Field(tBytes bytes, std::size_t at, unsigned size) {
  return LoadLE(bytes.data() + at, size);
}

bool HasAnchor(tBytes bytes, std::size_t at, std::string_view anchor) {
  return at + anchor.size() <= bytes.size() &&
         std::equal(anchor.begin(), anchor.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// The entry-point values the reader uses. Count is absent for a 3.x entry point, whose table
// ends with the end-of-table structure instead.
struct tEntryPoint {
  std::uint64_t TableAddress = 0;
  std::uint32_t TableLength = 0;
  std::optional<std::uint32_t> Count;
};

// A 2.x entry point ("_SM_") at `at`: length u16 at 0x16, address u32 at 0x18, count u16 at
// 0x1C. Nothing when the bytes end before the count.
std::optional<tEntryPoint> EntryPoint2(tBytes bytes, std::size_t at) {
  if (!HasAnchor(bytes, at, "_SM_") || bytes.size() - at < 0x1E) return std::nullopt;
  return tEntryPoint{.TableAddress = Field(bytes, at + 0x18, 4),
                     .TableLength = static_cast<std::uint32_t>(Field(bytes, at + 0x16, 2)),
                     .Count = static_cast<std::uint32_t>(Field(bytes, at + 0x1C, 2))};
}

// A 3.x entry point ("_SM3_") at the start: maximum table size u32 at 0x0C, address u64 at
// 0x10.
std::optional<tEntryPoint> EntryPoint3(tBytes bytes) {
  if (!HasAnchor(bytes, 0, "_SM3_") || bytes.size() < 0x18) return std::nullopt;
  return tEntryPoint{.TableAddress = Field(bytes, 0x10, 8),
                     .TableLength = static_cast<std::uint32_t>(Field(bytes, 0x0C, 4)),
                     .Count = std::nullopt};
}

// Offset of the last "_SM_" of the area, checking every byte position.
std::optional<std::size_t> LastAnchor(tBytes area) {
  std::optional<std::size_t> found;
  for (std::size_t p = 0; p + 4 <= area.size(); ++p) {
    if (HasAnchor(area, p, "_SM_")) found = p;
  }
  return found;
}

// Start of the structure after the one at `start`: one past the first pair of NULs after the
// formatted area. Nothing when the structure does not end inside the bytes.
std::optional<std::size_t> NextStructure(tBytes table, std::size_t start) {
  const std::size_t strings = start + table[start + 1];
  for (std::size_t j = strings + 1; j < table.size(); ++j) {
    if (table[j - 1] == 0 && table[j] == 0) return j + 1;
  }
  return std::nullopt;
}

// Offsets of the structures that lie wholly inside the table, up to `count` of them when the
// entry point gives one, else up to and including the end-of-table structure.
std::vector<std::uint32_t> IndexStructures(tBytes table, std::optional<std::uint32_t> count) {
  std::vector<std::uint32_t> starts;
  std::size_t start = 0;
  while (start + 2 <= table.size() && (!count || starts.size() < *count)) {
    const std::optional<std::size_t> next = NextStructure(table, start);
    if (!next) break;
    starts.push_back(static_cast<std::uint32_t>(start));
    if (!count && table[start] == kEndOfTable) break;
    start = *next;
  }
  return starts;
}

tSMBIOSTables Indexed(const tEntryPoint& entry, std::vector<std::uint8_t> table) {
  tSMBIOSTables tables;
  tables.TableAddress = entry.TableAddress;
  tables.TableLength = entry.TableLength;
  if (table.size() > entry.TableLength) table.resize(entry.TableLength);
  tables.SMBIOSTable = std::move(table);
  tables.StructStart = IndexStructures(tables.SMBIOSTable, entry.Count);
  tables.StructCount =
      entry.Count ? *entry.Count : static_cast<std::uint32_t>(tables.StructStart.size());
  tables.SMBIOSAvailable = !tables.SMBIOSTable.empty();
  return tables;
}

// The bytes of an entry point and of the table it names.
struct tLocated {
  tEntryPoint Entry;
  std::vector<std::uint8_t> EntryBytes;
  std::vector<std::uint8_t> Table;
};

// The longest entry point: a 2.x one is 0x1F bytes.
constexpr std::size_t kEntryPointBytes = 0x20;

// The kernel's copy: the entry point names the table's length, the table file holds it.
std::optional<tLocated> FromKernel(ISMBIOSSource& source) {
  tLocated located;
  if (!source.KernelTables(located.EntryBytes, located.Table)) return std::nullopt;
  std::optional<tEntryPoint> entry = EntryPoint2(located.EntryBytes, 0);
  if (!entry) entry = EntryPoint3(located.EntryBytes);
  if (!entry) return std::nullopt;
  located.Entry = *entry;
  return located;
}

// The BIOS area: the last anchor in it, and the table from the area where it lies wholly
// inside, else from physical memory.
std::optional<tLocated> FromBIOSArea(ISMBIOSSource& source) {
  std::vector<std::uint8_t> area;
  if (!source.BIOSArea(area)) return std::nullopt;
  const std::optional<std::size_t> anchor = LastAnchor(area);
  if (!anchor) return std::nullopt;
  const std::optional<tEntryPoint> entry = EntryPoint2(area, *anchor);
  if (!entry) return std::nullopt;

  tLocated located;
  located.Entry = *entry;
  const auto at = area.begin() + static_cast<std::ptrdiff_t>(*anchor);
  located.EntryBytes.assign(
      at, at + static_cast<std::ptrdiff_t>(std::min(kEntryPointBytes, area.size() - *anchor)));
  const std::uint64_t address = entry->TableAddress;
  const std::uint64_t length = entry->TableLength;
  if (address >= kBIOSAreaBase && address - kBIOSAreaBase + length <= area.size()) {
    const auto first = area.begin() + static_cast<std::ptrdiff_t>(address - kBIOSAreaBase);
    located.Table.assign(first, first + static_cast<std::ptrdiff_t>(length));
  } else if (!source.ReadPhysical(address, length, located.Table)) {
    return std::nullopt;
  }
  return located;
}

// The kernel's copy where there is one, else the BIOS area. Never throws: a source that fails
// in its own way leaves the tables unread, as a missing one does.
std::optional<tLocated> Locate(ISMBIOSSource& source) {
  try {
    if (std::optional<tLocated> kernel = FromKernel(source)) return kernel;
    return FromBIOSArea(source);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

bool LocateSMBIOS(ISMBIOSSource& source, std::vector<std::uint8_t>& entryPoint,
                  std::vector<std::uint8_t>& table) {
  std::optional<tLocated> located = Locate(source);
  if (!located) return false;
  entryPoint = std::move(located->EntryBytes);
  table = std::move(located->Table);
  return true;
}

tSMBIOSTables ReadSMBIOS(ISMBIOSSource& source) {
  std::optional<tLocated> located = Locate(source);
  if (!located) return {};
  try {
    return Indexed(located->Entry, std::move(located->Table));
  } catch (...) {
    return {};
  }
}
