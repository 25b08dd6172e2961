#!/usr/bin/env bash
# Installs what the build and the tests need, and builds the program and every test into
# build/, with warnings as errors. Progress goes to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build libgtest-dev libgmock-dev python3 cpuid qt6-base-dev libxcb1-dev libpng-dev \
  libjpeg-dev fonts-dejavu-core desktop-file-utils groff-base python3-jsonschema \
  bash-completion appstream hwloc
# The tests run under Debian's python3, the one installed here, whatever else is on PATH.
cmake -S . -B build -G Ninja -DLUMARIAN_TESTS=ON -DLUMARIAN_WERROR=ON \
  -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build >&2
