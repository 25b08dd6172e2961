// The firmware's SMBIOS tables: where they are read from, the entry point, and the index of
// the structures in the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The BIOS area of physical memory, where a firmware without a kernel copy keeps its entry
// point: 0xF0000 to 0xFFFFF.
inline constexpr std::uint64_t kBIOSAreaBase = 0xF0000;
inline constexpr std::size_t kBIOSAreaSize = 0x10000;

// Where the firmware tables come from. The system source reads the kernel's copy and
// physical memory; tests build the bytes in memory.
class ISMBIOSSource {
 public:
  virtual ~ISMBIOSSource() = default;
  // The kernel's copy: the entry-point structure and the whole structure table. False when
  // the system offers no such copy.
  virtual bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                            std::vector<std::uint8_t>& table) = 0;
  // The BIOS area of physical memory. False when it cannot be read.
  virtual bool BIOSArea(std::vector<std::uint8_t>& area) = 0;
  // `length` bytes of physical memory at `address` (a table outside the BIOS area). False
  // when they cannot be read.
  virtual bool ReadPhysical(std::uint64_t address, std::size_t length,
                            std::vector<std::uint8_t>& out) = 0;
  // Whether a read that found nothing was refused for want of permission, rather than
  // finding no tables there.
  virtual bool PermissionDenied() const { return false; }
};

// This machine's firmware tables.
std::unique_ptr<ISMBIOSSource> SystemSMBIOSSource();
// The same reader on other paths: `tablesDir` holds the kernel's files "smbios_entry_point"
// and "DMI", `memoryDevice` is read at physical addresses as file offsets.
std::unique_ptr<ISMBIOSSource> SMBIOSSourceAt(std::string tablesDir, std::string memoryDevice);

// The structure table as read and indexed.
struct tSMBIOSTables {
  bool SMBIOSAvailable = false;
  std::uint64_t TableAddress = 0;
  std::uint32_t TableLength = 0;
  // The entry point's structure count (2.x); a 3.x entry point has none, and this holds the
  // number of structures walked instead.
  std::uint32_t StructCount = 0;
  std::vector<std::uint8_t> SMBIOSTable;
  // Offset of each structure in SMBIOSTable, in table order; only structures that lie wholly
  // inside the bytes read.
  std::vector<std::uint32_t> StructStart;
};

// Finds the entry point, reads the structure table and indexes it. Never throws; a source
// without tables gives SMBIOSAvailable false.
tSMBIOSTables ReadSMBIOS(ISMBIOSSource& source);

// Finds the entry point and reads the structure table, unindexed: what the driver process
// hands the program. The entry point's bytes start at its anchor. False when there are none.
bool LocateSMBIOS(ISMBIOSSource& source, std::vector<std::uint8_t>& entryPoint,
                  std::vector<std::uint8_t>& table);

// The firmware tables through the loaded driver (DriverInterface), which may read them where
// this process may not; where the driver has none or is not loaded, from `system`.
std::unique_ptr<ISMBIOSSource> SMBIOSThroughDriver(
    std::unique_ptr<ISMBIOSSource> system = SystemSMBIOSSource());
