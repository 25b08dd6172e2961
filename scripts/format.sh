#!/usr/bin/env bash
# Checks that every C++ file is formatted as .clang-format says (--fix formats them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run -Werror "${files[@]}"
fi
