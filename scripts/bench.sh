#!/usr/bin/env bash
# Builds an optimised program and prints the identification benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build libbenchmark-dev qt6-base-dev libpng-dev libjpeg-dev
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMARIAN_TESTS=OFF \
  -DLUMARIAN_BENCHMARKS=ON >/dev/null
cmake --build build-bench --target identify_bench
build-bench/bench/identify_bench "$@"
