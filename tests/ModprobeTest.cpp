// modprobe runs as root: it is taken only from an absolute path and gets a minimal
// environment, whatever the caller's PATH and environment hold.
#include "device/Modprobe.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

class Modprobe : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.empty()); }

  // A stand-in modprobe that writes its arguments and environment beside itself.
  std::string Script(const std::string& name, mode_t mode = 0755) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n"
                        << "echo \"$@\" > \"" << folder_ << "/arguments\"\n"
                        << "env > \"" << folder_ << "/environment\"\n"
                        << "exit 3\n";
    chmod(path.c_str(), mode);
    return path;
  }
  std::string Written(const std::string& name) const {
    std::stringstream text;
    text << std::ifstream(folder_ + "/" + name).rdbuf();
    return text.str();
  }
  tTempFolder temp_;
  const std::string& folder_ = temp_.Path();
};

TEST_F(Modprobe, TheFirstExecutableAbsoluteCandidateIsTaken) {
  const std::string plain = Script("plain", 0644);
  const std::string executable = Script("modprobe");
  EXPECT_EQ(SystemProgram({"/nonexistent/modprobe", plain.c_str(), executable.c_str()}),
            executable);
  EXPECT_EQ(SystemProgram({folder_.c_str()}), "") << "a folder is not a program";
  // A name without a folder would be looked up where the caller says; it is never taken.
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  EXPECT_EQ(SystemProgram({"modprobe"}), "");
  std::filesystem::current_path(here);
}

TEST_F(Modprobe, RunsWithTheSystemsPathAndNoneOfTheCallersEnvironment) {
  const std::string program = Script("modprobe");
  const std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  setenv("LD_PRELOAD", "/tmp/planted.so", 1);
  setenv("PATH", (folder_ + ":/usr/bin:/bin").c_str(), 1);
  setenv("LUMARIAN_CALLER", "caller", 1);
  const bool succeeded = RunModprobe(program, "msr");
  unsetenv("LD_PRELOAD");
  unsetenv("LUMARIAN_CALLER");
  setenv("PATH", path.c_str(), 1);

  EXPECT_FALSE(succeeded) << "the stand-in exits with 3";
  EXPECT_EQ(Written("arguments"), "msr\n");
  const std::string environment = Written("environment");
  EXPECT_NE(environment.find("PATH=/usr/sbin:/usr/bin:/sbin:/bin\n"), std::string::npos)
      << environment;
  EXPECT_EQ(environment.find("LD_PRELOAD"), std::string::npos) << environment;
  EXPECT_EQ(environment.find("LUMARIAN_CALLER"), std::string::npos) << environment;
  EXPECT_EQ(environment.find(folder_ + ":"), std::string::npos) << environment;
}

TEST_F(Modprobe, ANameWithoutAFolderIsNeverRun) {
  Script("modprobe");
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  const bool ran = RunModprobe("modprobe", "msr");
  std::filesystem::current_path(here);
  EXPECT_FALSE(ran);
  EXPECT_EQ(Written("arguments"), "") << "the program in the current folder ran";
}

}  // namespace
