#!/usr/bin/env bash
# Builds the program and every test, with warnings as errors, and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build libgtest-dev libgmock-dev python3 cpuid qt6-base-dev libpng-dev \
  libjpeg-dev fonts-dejavu-core desktop-file-utils groff-base python3-jsonschema \
  bash-completion appstream hwloc
cmake -S . -B build -G Ninja -DLUMARIAN_TESTS=ON -DLUMARIAN_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2
