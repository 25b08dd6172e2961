// Feeds arbitrary bytes to the SMBIOS reader through a source that serves them. The first
// five bytes lay the input out: a byte of switches, then the lengths (u16, little-endian) of
// the kernel's entry point and of the table; the rest is the BIOS area.
// Switch bit 0: the kernel's copy exists. Bit 1: the BIOS area can be read. Bit 2: physical
// memory outside the area can be read (it serves the table bytes, as many as asked for).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "smbios/get_cpu_dmi_info.h"
#include "smbios/get_dmi.h"

namespace {

class tFuzzSource final : public ISMBIOSSource {
 public:
  explicit tFuzzSource(std::span<const std::uint8_t> input) {
    if (input.size() < 5) return;
    switches_ = input[0];
    const std::size_t entryLength = input[1] | (input[2] << 8);
    const std::size_t tableLength = input[3] | (input[4] << 8);
    input = input.subspan(5);
    entry_.assign(input.begin(), input.begin() + std::min(entryLength, input.size()));
    input = input.subspan(entry_.size());
    table_.assign(input.begin(), input.begin() + std::min(tableLength, input.size()));
    input = input.subspan(table_.size());
    area_.assign(input.begin(), input.end());
  }

  bool KernelTables(std::vector<std::uint8_t>& entryPoint,
                    std::vector<std::uint8_t>& table) override {
    entryPoint = entry_;
    table = table_;
    return (switches_ & 1) != 0;
  }
  bool BIOSArea(std::vector<std::uint8_t>& area) override {
    area = area_;
    return (switches_ & 2) != 0;
  }
  bool ReadPhysical(std::uint64_t, std::size_t length, std::vector<std::uint8_t>& out) override {
    if ((switches_ & 4) == 0) return false;
    out.assign(table_.begin(), table_.begin() + std::min(length, table_.size()));
    return true;
  }

 private:
  std::uint8_t switches_ = 0;
  std::vector<std::uint8_t> entry_, table_, area_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  tFuzzSource source(std::span<const std::uint8_t>(bytes, size));
  const tSMBIOSTables tables = ReadSMBIOS(source);

  // Every indexed structure lies inside the table, in ascending order.
  for (std::size_t k = 0; k < tables.StructStart.size(); ++k) {
    if (std::size_t{tables.StructStart[k]} + 2 > tables.SMBIOSTable.size()) std::abort();
    if (k > 0 && tables.StructStart[k] <= tables.StructStart[k - 1]) std::abort();
  }
  if (tables.SMBIOSTable.size() > tables.TableLength) std::abort();

  const std::vector<tSMBIOSProcessor> processors = GetCpuDmiInfo(tables);
  if (processors.size() < 8 ||
      processors.size() > std::max<std::size_t>(8, tables.StructStart.size()))
    std::abort();
  return 0;
}
