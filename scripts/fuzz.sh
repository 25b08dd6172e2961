#!/usr/bin/env bash
# Fuzzes the dump reader (and identification of whatever reads as a dump) with libFuzzer,
# seeded with the fixture dumps. Usage: scripts/fuzz.sh [executions, default 1000000]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-1000000}"
scripts/packages.sh clang cmake ninja-build libclang-rt-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLUMARIAN_FUZZ=ON \
  -DLUMARIAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target dump_reader_fuzz
corpus=build-fuzz/corpus
mkdir -p "$corpus"
cp tests/fixtures/cpuid/*.txt "$corpus"/
build-fuzz/fuzz/dump_reader_fuzz -runs="$runs" -max_len=4096 -print_final_stats=1 "$corpus"
