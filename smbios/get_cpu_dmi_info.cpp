// The processor entries of the SMBIOS table. The fields sit at fixed offsets of the type-4
// structure and are read there whatever its length byte says, as long as the table holds them.
#include "smbios/get_cpu_dmi_info.h"

#include <span>

#include "protocol/LittleEndian.h"

const std::array<std::string_view, 8> ProcessorStatusNames = {
    "Unknown", "CPU Enabled", "CPU Disabled by user", "CPU Disabled by POST", "Idle", "",
    "",        "Other"};

namespace {

constexpr std::uint8_t kProcessorType = 4;
constexpr std::size_t kMinimumEntries = 8;

// The bytes of the table from one structure's start to the table's end; a field that does
// not fit in them is left at zero.
class tFields {
 public:
  tFields(std::span<const std::uint8_t> table, std::size_t start) : bytes_(table.subspan(start)) {}

  bool Holds(std::size_t offset, std::size_t size) const { return offset + size <= bytes_.size(); }
  std::uint8_t Byte(std::size_t offset) const { return Holds(offset, 1) ? bytes_[offset] : 0; }
  std::uint16_t Word(std::size_t offset) const {
    if (!Holds(offset, 2)) return 0;
    return static_cast<std::uint16_t>(LoadLE(bytes_.data() + offset, 2));
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

tSMBIOSProcessor Processor(const tFields& fields) {
  tSMBIOSProcessor p;
  p.ExtClock = fields.Word(0x12);
  p.MaxSpeed = fields.Word(0x14);
  p.CurrentSpeed = fields.Word(0x16);
  if (fields.Holds(0x18, 1)) {
    const std::uint8_t status = fields.Byte(0x18);
    p.Populated = (status >> 6) == 0b01;
    p.StatusText = ProcessorStatusNames[status & 0x07];
  }
  p.L1Handle = fields.Word(0x1A);
  p.L2Handle = fields.Word(0x1C);
  p.L3Handle = fields.Word(0x1E);
  return p;
}

}  // namespace

std::vector<tSMBIOSProcessor> GetCpuDmiInfo(const tSMBIOSTables& tables) {
  std::vector<tSMBIOSProcessor> processors;
  const std::span<const std::uint8_t> table(tables.SMBIOSTable);
  for (const std::uint32_t start : tables.StructStart) {
    if (start >= table.size() || table[start] != kProcessorType) continue;
    processors.push_back(Processor(tFields(table, start)));
  }
  if (processors.size() < kMinimumEntries) processors.resize(kMinimumEntries);
  return processors;
}
