#include "platform/ConcurrentJobs.h"

#include <pthread.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <vector>

namespace platform {
namespace {

// Ample for a job's calls, and small enough that a thousand threads fit in the address space
// of a 32-bit process.
constexpr std::size_t kStackBytes = 256 * 1024;

struct tJob {
  const std::function<void(unsigned)>* Body = nullptr;
  unsigned Index = 0;
  std::exception_ptr Error;
};

void Run(tJob& job) noexcept {
  try {
    (*job.Body)(job.Index);
  } catch (...) {
    job.Error = std::current_exception();
  }
}

void* ThreadMain(void* job) {
  Run(*static_cast<tJob*>(job));
  return nullptr;
}

}  // namespace

void RunConcurrently(unsigned count, const std::function<void(unsigned)>& job) {
  std::vector<tJob> jobs(count);
  std::vector<pthread_t> threads(count);
  std::vector<bool> started(count, false);
  pthread_attr_t attributes;
  const bool sized = pthread_attr_init(&attributes) == 0;
  if (sized) {
    pthread_attr_setstacksize(&attributes, std::max<std::size_t>(kStackBytes, PTHREAD_STACK_MIN));
  }
  for (unsigned i = 0; i < count; ++i) {
    jobs[i].Body = &job;
    jobs[i].Index = i;
    started[i] =
        pthread_create(&threads[i], sized ? &attributes : nullptr, ThreadMain, &jobs[i]) == 0;
  }
  if (sized) pthread_attr_destroy(&attributes);
  for (unsigned i = 0; i < count; ++i) {
    if (!started[i]) Run(jobs[i]);
  }
  for (unsigned i = 0; i < count; ++i) {
    if (started[i]) pthread_join(threads[i], nullptr);
  }
  for (const tJob& ended : jobs) {
    if (ended.Error) std::rethrow_exception(ended.Error);
  }
}

}  // namespace platform
