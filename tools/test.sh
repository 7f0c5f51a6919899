#!/usr/bin/env bash
# Builds the program twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer), warnings as errors, and runs every test in both
# builds (tools/ctest.sh: a temporary home, a session bus of their own, a
# fixed locale). It builds in folders of its own, build-test/ and
# build-test-asan/, never in build/, where the demo's program lives.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export LC_ALL=C.UTF-8
run() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DTAVO_TESTS=ON -DTAVO_WERROR=ON "$@" >/dev/null
  ninja -C "$dir"
  bash "$root/tools/ctest.sh" "$dir" -j "$jobs"
}
run "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_BENCH=ON
run "$root/build-test-asan" -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON -DTAVO_BENCH=OFF
