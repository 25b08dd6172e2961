// The microcode revision the kernel reports, read from a folder laid out as
// /sys/devices/system/cpu is.
#include "platform/Microcode.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(Microcode, ReadsTheKernelsRevisionAndRefusesAnythingElse) {
  char pattern[] = "/tmp/microcode-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern;
  const struct {
    int Cpu;
    const char* Text;  // nullptr: no file
    const char* Revision;
  } rows[] = {
      {0, "0xa201016\n", "0xa201016"},
      {1, "0x2b000603", "0x2b000603"},
      {2, nullptr, ""},
      {3, "", ""},
      {4, "a201016\n", ""},
      {5, "0xzz\n", ""},
      {6, "0x\n", ""},
      {7, "0x123456789abcdef01\n", ""},  // longer than 64 bits
  };
  for (const auto& row : rows) {
    if (row.Text == nullptr) continue;
    const fs::path folder = root / ("cpu" + std::to_string(row.Cpu)) / "microcode";
    fs::create_directories(folder);
    std::ofstream(folder / "version") << row.Text;
  }
  for (const auto& row : rows)
    EXPECT_EQ(platform::MicrocodeRevision(row.Cpu, root.string()), row.Revision) << row.Cpu;
  EXPECT_EQ(platform::MicrocodeRevision(-1, root.string()), "");
  fs::remove_all(root);
}

}  // namespace
