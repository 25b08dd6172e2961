#!/usr/bin/env bash
# Builds an optimised program and prints the benchmarks: identification and JSON report of
# replayed processors (arguments go to this one), start-up and stop of the engine over
# simulated processors whose measurement really sleeps, and the window over 256 and 1024 of
# them: its start-up, and the longest time its thread is held up while the processors are
# identified again; the full capture of one live processor, and loading and identifying CPUID
# listings; decoding every CPUID field of 384 processors; the time of one request to the driver
# process and back; and the effective clock beside an independent timing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build libbenchmark-dev qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev \
  fonts-dejavu-core
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMARIAN_TESTS=OFF \
  -DLUMARIAN_BENCHMARKS=ON >/dev/null
cmake --build build-bench --target identify_bench engine_bench window_bench listing_bench driver_bench \
  effective_clock_bench
  fields_bench
build-bench/bench/identify_bench "$@"
build-bench/bench/engine_bench
build-bench/bench/window_bench 1024 0
build-bench/bench/window_bench 256 10
# Full capture of one live processor (target: 200 us at most on the project's VM); loading and
# identifying the largest public listing, and a listing of 384 processors (target: 100 ms);
# decoding today's leaves of those 384 processors (target: 20 ms over loading them).
build-bench/bench/listing_bench
# Decoding every field of the largest listing and of 384 processors (target: 20 ms).
build-bench/bench/fields_bench
build-bench/bench/driver_bench
# The effective clock of slot 0 and its source, beside a timed chain of multiplications on the
# same processor (they agree within 2 %).
build-bench/bench/effective_clock_bench
