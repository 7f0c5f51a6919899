#!/usr/bin/env bash
# Builds the program twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  ninja -C "$dir"
  # UI tests talk to a session bus of their own.
  dbus-run-session -- ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}
run "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON
