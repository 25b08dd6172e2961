// Files named on the command line may be anything: opening one never waits, reading one stops
// at its limit and after a silent spell, and devices are never opened.
#include "app/InputFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tests/support/TempFolder.h"

namespace {

using namespace std::chrono_literals;

class InputFile : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.Path().empty()); }

  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = folder_.File(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string Folder() const { return folder_.Path(); }

 private:
  tTempFolder folder_;
};

TEST_F(InputFile, ReadsFilesUpToTheLimitAndRefusesWhatIsNoFile) {
  const std::string dump = Write("dump.txt", "0123456789");
  struct tCase {
    std::string Path;
    std::size_t Limit;
    const char* Bytes;   // read, when it succeeds
    const char* Reason;  // the start of the reason, when it fails
  };
  const tCase cases[] = {
      {dump, 64, "0123456789", nullptr},
      {dump, 4, "0123", nullptr},
      {Write("empty.txt", ""), 64, "", nullptr},
      {Folder() + "/missing.txt", 64, nullptr, "cannot open: No such file"},
      {Folder(), 64, nullptr, "cannot read: Is a directory"},
      {"/dev/null", 64, nullptr, "cannot open: a device"},
      {"/dev/zero", 64, nullptr, "cannot open: a device"},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.Path);
    std::string bytes = "before";
    const auto error = ReadInputFile(c.Path, c.Limit, bytes);
    if (c.Reason == nullptr) {
      ASSERT_FALSE(error) << *error;
      EXPECT_EQ(bytes, c.Bytes);
    } else {
      ASSERT_TRUE(error);
      EXPECT_EQ(error->rfind(c.Reason, 0), 0u) << *error;
      EXPECT_EQ(bytes, "before");
    }
  }
}

TEST_F(InputFile, ADeviceIsRefusedWithoutBeingOpened) {
  // Without a controlling terminal, opening /dev/tty fails: a reason other than the refusal
  // tells that it was opened.
  EXPECT_EXIT(
      {
        setsid();
        std::string bytes;
        const auto error = ReadInputFile("/dev/tty", 64, bytes);
        std::_Exit(error && *error == "cannot open: a device, not a file" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(InputFile, AFifoWithoutAWriterReadsAsEmptyAtOnce) {
  const std::string fifo = Folder() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // In a child that an alarm ends, so that a read that waits fails the test instead of
  // holding it.
  EXPECT_EXIT(
      {
        alarm(5);
        std::string bytes = "before";
        const auto error = ReadInputFile(fifo, 64, bytes);
        std::_Exit(!error && bytes.empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(InputFile, APipeIsReadAsItsDataArrivesAndASilentOneIsGivenUp) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string reader = "/proc/self/fd/" + std::to_string(ends[0]);  // as /dev/stdin is
  std::thread writer([&] {
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(write(ends[1], "late", 4), 4);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(write(ends[1], " data", 5), 5);
    close(ends[1]);
  });
  std::string bytes;
  const auto error = ReadInputFile(reader, 64, bytes, 5s);
  writer.join();
  EXPECT_FALSE(error) << *error;
  EXPECT_EQ(bytes, "late data");
  close(ends[0]);

  ASSERT_EQ(pipe(ends), 0);  // a writer that never writes
  const auto silent = ReadInputFile("/proc/self/fd/" + std::to_string(ends[0]), 64, bytes, 50ms);
  ASSERT_TRUE(silent);
  EXPECT_EQ(silent->rfind("cannot read: no data within 50 ms", 0), 0u) << *silent;
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
