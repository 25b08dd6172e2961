#!/usr/bin/env bash
# Runs one libFuzzer target with AddressSanitizer and UndefinedBehaviorSanitizer, seeded with
# fuzz/seeds/TARGET (and, for the dump reader, the fixture dumps).
# Usage: scripts/fuzz.sh [TARGET, default dump_reader_fuzz] [executions, default 1000000]
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:-dump_reader_fuzz}"
runs="${2:-1000000}"
scripts/packages.sh clang cmake ninja-build libclang-rt-dev qt6-base-dev libpng-dev libjpeg-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLUMARIAN_FUZZ=ON \
  -DLUMARIAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "$target"
corpus="build-fuzz/corpus/$target"
mkdir -p "$corpus"
[ -d "fuzz/seeds/$target" ] && cp "fuzz/seeds/$target"/* "$corpus"/
[ "$target" = dump_reader_fuzz ] && cp tests/fixtures/cpuid/*.txt "$corpus"/
case "$target" in
  smbios_reader_fuzz) max_len=140000 ;;
  logo_loader_fuzz) max_len=65536 ;;
  *) max_len=4096 ;;
esac
build-fuzz/fuzz/"$target" -runs="$runs" -max_len="$max_len" -print_final_stats=1 "$corpus"
