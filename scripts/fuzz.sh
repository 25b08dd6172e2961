#!/usr/bin/env bash
# Runs one libFuzzer target with AddressSanitizer and UndefinedBehaviorSanitizer, seeded with
# fuzz/seeds/TARGET and, for the listing readers, the fixture listings (the public full
# listings converted to the format of the reader where it reads another).
# Usage: scripts/fuzz.sh [TARGET, default dump_reader_fuzz] [executions, default 1000000]
# Targets: dump_reader_fuzz, cpuid_tool_listing_fuzz, register_listing_fuzz,
# libcpuid_raw_listing_fuzz, hwloc_cpuid_fuzz, listing_identification_fuzz, smbios_reader_fuzz, logo_loader_fuzz,
# control_device_fuzz, driver_request_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:-dump_reader_fuzz}"
runs="${2:-1000000}"
scripts/packages.sh clang cmake ninja-build libclang-rt-dev qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLUMARIAN_FUZZ=ON \
  -DLUMARIAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "$target"
corpus="build-fuzz/corpus/$target"
mkdir -p "$corpus"
[ -d "fuzz/seeds/$target" ] && cp "fuzz/seeds/$target"/* "$corpus"/
full=(tests/fixtures/full/*_CPUID.txt tests/fixtures/full/*.test)
case "$target" in
  dump_reader_fuzz) cp tests/fixtures/cpuid/*.txt "$corpus"/ ;;
  register_listing_fuzz | listing_identification_fuzz) cp "${full[@]}" "$corpus"/ ;;
  cpuid_tool_listing_fuzz)
    python3 tests/e2e/listing_formats.py cpuid-r "$corpus" "${full[@]}"
    cp tests/fixtures/formats/cpuid-r-vm-2cpu.txt "$corpus"/ ;;
  libcpuid_raw_listing_fuzz)
    python3 tests/e2e/listing_formats.py libcpuid-raw "$corpus" "${full[@]}"
    cp tests/fixtures/formats/libcpuid-raw-vm.txt "$corpus"/ ;;
  hwloc_cpuid_fuzz)
    for pu in tests/fixtures/formats/hwloc-gather-cpuid-vm/pu*; do cp "$pu" "$corpus/vm-${pu##*/}"; done ;;
esac
case "$target" in
  smbios_reader_fuzz) max_len=140000 ;;
  logo_loader_fuzz) max_len=65536 ;;
  *_listing_fuzz | hwloc_cpuid_fuzz | listing_identification_fuzz) max_len=16384 ;;
  *) max_len=4096 ;;
esac
build-fuzz/fuzz/"$target" -runs="$runs" -max_len="$max_len" -print_final_stats=1 "$corpus"
