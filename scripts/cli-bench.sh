#!/usr/bin/env bash
# Wall time of the command line, printed: `lumarian --dump` beside Debian's `cpuid -r` (both
# read every processor), run in turns so that both see the same machine, with the ratio; then
# `lumarian --help` and `lumarian --version`. Each figure is the time from starting the process
# to its end, output to /dev/null, over many runs: minimum, median, maximum.
# Usage: scripts/cli-bench.sh [runs, default 200] [program, default build/lumarian, built first]
set -euo pipefail
runs="${1:-200}"
program="${2:+$(realpath "$2")}"
cd "$(dirname "$0")/.."
scripts/packages.sh python3 cpuid
if [ -z "$program" ]; then
  scripts/packages.sh g++ cmake ninja-build qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --target lumarian >/dev/null
  program=build/lumarian
fi

exec python3 - "$runs" "$program" "$(command -v cpuid)" <<'PY'
import os
import statistics
import sys
import time

runs, program, cpuid = int(sys.argv[1]), sys.argv[2], sys.argv[3]
null = os.open(os.devnull, os.O_RDWR)


def once(command):
    """Seconds from starting `command` to its end; it must succeed."""
    actions = [(os.POSIX_SPAWN_DUP2, null, 0), (os.POSIX_SPAWN_DUP2, null, 1)]
    start = time.perf_counter()
    child = os.posix_spawn(command[0], command, os.environ, file_actions=actions)
    _, status = os.waitpid(child, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(command)} failed")
    return elapsed


def timed(*commands):
    """Each command's times over `runs` runs, the commands in turns, after a few to warm up."""
    times = [[] for _ in commands]
    for run in range(runs + 5):
        for command, kept in zip(commands, times):
            elapsed = once(command)
            if run >= 5:
                kept.append(elapsed)
    return times


def show(name, times):
    ms = [t * 1000 for t in times]
    print(f"{name:<28} min {min(ms):7.2f} ms   median {statistics.median(ms):7.2f} ms   "
          f"max {max(ms):7.2f} ms")


print(f"{runs} runs each, {len(os.sched_getaffinity(0))} processors; program {program}")
dump, reference = timed([program, "--dump"], [cpuid, "-r"])
show("lumarian --dump", dump)
show("cpuid -r", reference)
print(f"{'ratio --dump / cpuid -r':<28} min {min(dump) / min(reference):7.2f}      "
      f"median {statistics.median(dump) / statistics.median(reference):7.2f}")
for option in ("--help", "--version"):
    show(f"lumarian {option}", timed([program, option])[0])
PY
