// Makes a process behave as if it ran in a cpuset of the processors it was started on: a
// request for an affinity is narrowed to those processors, and refused with EINVAL when it
// holds none of them, as the kernel does for a cpuset. Loaded with LD_PRELOAD by
// scripts/matrix.sh; the allowed processors are read once, when the library is loaded.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

static cpu_set_t allowed;
static int known;

__attribute__((constructor)) static void ReadAllowed(void) {
  CPU_ZERO(&allowed);
  known = syscall(SYS_sched_getaffinity, 0, sizeof allowed, &allowed) > 0;
}

// The request narrowed to the allowed processors, in `out`; 0 when none is left.
static int Narrow(size_t size, const cpu_set_t* requested, cpu_set_t* out) {
  if (size > sizeof *out) size = sizeof *out;
  CPU_ZERO(out);
  memcpy(out, requested, size);
  if (known) CPU_AND(out, out, &allowed);
  return CPU_COUNT(out);
}

int sched_setaffinity(pid_t pid, size_t size, const cpu_set_t* set) {
  cpu_set_t narrowed;
  if (Narrow(size, set, &narrowed) == 0) {
    errno = EINVAL;
    return -1;
  }
  return (int)syscall(SYS_sched_setaffinity, pid, sizeof narrowed, &narrowed);
}

int pthread_setaffinity_np(pthread_t thread, size_t size, const cpu_set_t* set) {
  typedef int (*tSet)(pthread_t, size_t, const cpu_set_t*);
  static tSet next;
  if (next == NULL) next = (tSet)dlsym(RTLD_NEXT, "pthread_setaffinity_np");
  cpu_set_t narrowed;
  if (Narrow(size, set, &narrowed) == 0) return EINVAL;
  return next(thread, sizeof narrowed, &narrowed);
}
