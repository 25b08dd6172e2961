#!/usr/bin/env bash
# Builds the program and every test, with warnings as errors, and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
