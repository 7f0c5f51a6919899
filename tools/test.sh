#!/usr/bin/env bash
# Builds the program twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer), warnings as errors, and runs every test in both
# builds. Everything the tests write lies in one temporary folder, removed at
# the end; each test process has a home of its own inside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavo-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share" \
  XDG_CACHE_HOME="$scratch/home/.cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DTAVO_TESTS=ON -DTAVO_WERROR=ON "$@" >/dev/null
  ninja -C "$dir"
  # UI tests talk to a session bus of their own.
  dbus-run-session -- ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}
run "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_BENCH=ON
run "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON -DTAVO_BENCH=OFF
