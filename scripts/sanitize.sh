#!/usr/bin/env bash
# Runs every test under AddressSanitizer and UndefinedBehaviorSanitizer, and the engine's
# thread tests under ThreadSanitizer, each in a build folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build libgtest-dev libgmock-dev python3 cpuid qt6-base-dev libxcb1-dev libpng-dev \
  libjpeg-dev fonts-dejavu-core desktop-file-utils groff-base python3-jsonschema \
  bash-completion appstream hwloc

cmake -S . -B build-asan -G Ninja -DLUMARIAN_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
  -DLUMARIAN_SANITIZE=address,undefined -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build-asan >&2
ctest --test-dir build-asan --output-on-failure -j2

cmake -S . -B build-tsan -G Ninja -DLUMARIAN_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
  -DLUMARIAN_SANITIZE=thread -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build-tsan --target lumarian_tests >&2
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/lumarian_tests --gtest_filter='EngineLifecycle*:EngineConcurrency*:ClockMeasurement*'
