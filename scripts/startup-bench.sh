#!/usr/bin/env bash
# Start-up figures of the window under a virtual X server: the time from starting the
# process to its window being mapped on the screen, and the resident memory 10 s later.
# Usage: scripts/startup-bench.sh [runs, default 5] [program arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev fonts-dejavu-core \
  xvfb xauth xdotool
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMARIAN_TESTS=OFF >/dev/null
# lumarian runs the window program lumarian-window in its own place (the same process).
cmake --build build-release --target lumarian lumarian-window lumarian_logos >/dev/null

runs="${1:-5}"
shift || true
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$runs" "$@" <<'INNER'
set -euo pipefail
runs="$1"
shift
for ((run = 1; run <= runs; ++run)); do
  start=$(date +%s%N)
  build-release/lumarian "$@" &
  pid=$!
  # The window is shown once a viewable top-level window with the program's title exists.
  until xdotool search --onlyvisible --name '^Quorvane CPU Lumarian' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended before its window was shown" >&2; exit 1; }
    sleep 0.005
  done
  shown=$(date +%s%N)
  if ((run == runs)); then
    sleep 10
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  printf 'run %d: window shown after %d ms\n' "$run" $(((shown - start) / 1000000))
done
awk -v kib="$rss" 'BEGIN { printf "resident memory 10 s after start: %d KiB (%.1f MiB)\n", kib, kib / 1024 }'
INNER
