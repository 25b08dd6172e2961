// A closed standard descriptor is reopened on /dev/null, so that no file opened later takes
// its number; a closed standard output is remembered, since nothing written there arrives.
#include "app/StandardDescriptors.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// In a child (the descriptors are the process's): 0 when every closed descriptor of
// `closedMask` (bit n: descriptor n) came back as /dev/null, standard output was remembered as
// closed exactly when it was, and the next file opened got a number above 2.
int ReopenedInChild(unsigned closedMask) {
  struct stat null {};
  if (stat("/dev/null", &null) != 0) return 10;
  for (int fd = 0; fd <= 2; ++fd) {
    if (closedMask & (1u << fd)) close(fd);
  }
  if (!OpenStandardDescriptors()) return 11;
  for (int fd = 0; fd <= 2; ++fd) {
    if (!(closedMask & (1u << fd))) continue;
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_rdev != null.st_rdev || !S_ISCHR(info.st_mode))
      return 20 + fd;
    const int access = fcntl(fd, F_GETFL) & O_ACCMODE;
    if (access != (fd == 0 ? O_RDONLY : O_WRONLY)) return 30 + fd;
  }
  if (StandardOutputWasClosed() != ((closedMask & 2u) != 0)) return 50;
  const int next = open("/dev/null", O_RDONLY);
  return next > 2 ? 0 : 40;
}

TEST(StandardDescriptors, ClosedOnesAreReopenedOnDevNull) {
  for (unsigned mask = 1; mask < 8; ++mask) {
    SCOPED_TRACE(mask);
    EXPECT_EXIT(std::_Exit(ReopenedInChild(mask)), testing::ExitedWithCode(0), "");
  }
}

// In a child: 0 when FreeDescriptors counts up to what the limit leaves and keeps none open.
int CountedInChild() {
  const auto openNow = [] {
    int count = 0;
    for (int fd = 0; fd < 40; ++fd)  // the descriptors the limit below leaves
      count += fcntl(fd, F_GETFD) != -1;
    return count;
  };
  const int before = openNow();
  if (FreeDescriptors(8) != 8 || openNow() != before) return 10;
  const rlimit small{.rlim_cur = 40, .rlim_max = 40};
  if (setrlimit(RLIMIT_NOFILE, &small) != 0) return 11;
  if (FreeDescriptors(100) != 40 - before || openNow() != before) return 12;
  return FreeDescriptors(0) == 0 ? 0 : 13;
}

TEST(StandardDescriptors, FreeOnesAreCountedUpToTheLimitAndNoneKept) {
  EXPECT_EXIT(std::_Exit(CountedInChild()), testing::ExitedWithCode(0), "");
}

}  // namespace
