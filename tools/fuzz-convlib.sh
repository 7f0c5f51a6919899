#!/usr/bin/env bash
# Builds the braille library's fuzzer with clang in build-fuzz/ and runs it
# for the given number of seconds (default 60) on a corpus that starts from
# tests/fuzz/seeds and grows from run to run. Further arguments go to
# libFuzzer, e.g. -jobs=4 -workers=4.
# Usage: tools/fuzz-convlib.sh [seconds] [libFuzzer flags...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build="$root/build-fuzz"

# Everything the fuzzer links is instrumented for coverage and sanitized; the
# fuzzer's own link adds libFuzzer's main.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_FUZZ=ON -DTAVO_WITH_GUI=OFF -DTAVO_BENCH=OFF \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" >/dev/null
ninja -C "$build" convlib_fuzzer

corpus="$build/convlib-corpus"
mkdir -p "$corpus"
cp -n "$root"/tests/fuzz/seeds/* "$corpus"/
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/bin/convlib_fuzzer" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
  -artifact_prefix="$build/" "$@" "$corpus"
