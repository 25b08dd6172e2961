#!/usr/bin/env bash
# Builds the program and runs it: the window where a display exists, else the text report.
# Arguments are passed to the program (lumarian --help lists them). Setup progress goes to
# standard error, so standard output carries only the program's output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev fonts-dejavu-core
cmake -S . -B build -G Ninja -DLUMARIAN_TESTS=OFF >/dev/null
cmake --build build --target lumarian lumarian_logos >&2
exec build/lumarian "$@"
