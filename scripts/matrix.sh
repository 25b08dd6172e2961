#!/usr/bin/env bash
# Runs the whole test suite again under each configuration that one machine can emulate:
#   one allowed processor          taskset -c LAST
#   a cpuset                       the same, with an affinity that refuses other processors
#   an ordinary user               setpriv --reuid 65534 (as root only)
#   root without RAWIO and NICE    setpriv --bounding-set -sys_rawio,-sys_nice (as root only)
# A configuration this machine cannot make is skipped with its reason. Builds into build/ as
# scripts/test.sh does; exits non-zero when a configuration has a failing test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
scripts/packages.sh gcc libc6-dev util-linux

preload=build/matrix/cpuset_preload.so
mkdir -p build/matrix
gcc -O2 -Wall -Werror -shared -fPIC -o "$preload" tests/matrix/cpuset_preload.c -ldl
# ctest keeps its logs in the build folder; another user must be able to write them there.
mkdir -p build/Testing/Temporary
chmod 1777 build/Testing build/Testing/Temporary

last=$(/usr/bin/python3 -c 'import os; print(max(os.sched_getaffinity(0)))')
failed=()
run() {
  local name=$1
  shift
  echo "== $name" >&2
  if "$@" ctest --test-dir build --output-on-failure -j2 >&2; then
    echo "== $name: passed" >&2
  else
    echo "== $name: FAILED" >&2
    failed+=("$name")
  fi
}
skip() { echo "== $1: skipped ($2)" >&2; }

run "one allowed processor ($last)" taskset -c "$last"
run "a cpuset of processor $last" taskset -c "$last" env LD_PRELOAD="$PWD/$preload"
if [ "$(id -u)" -eq 0 ]; then
  run "an ordinary user (65534)" setpriv --reuid 65534 --regid 65534 --clear-groups \
    env HOME=/tmp
  run "root without CAP_SYS_RAWIO and CAP_SYS_NICE" \
    setpriv --inh-caps -sys_rawio,-sys_nice --bounding-set -sys_rawio,-sys_nice
else
  skip "an ordinary user" "this run is one already"
  skip "root without CAP_SYS_RAWIO and CAP_SYS_NICE" "needs root"
fi

if [ ${#failed[@]} -ne 0 ]; then
  printf 'failed under: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "every configuration passed" >&2
