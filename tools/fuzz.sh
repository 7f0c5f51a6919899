#!/usr/bin/env bash
# Builds one libFuzzer target with clang in build-fuzz/ and runs it for the
# given number of seconds (default 60) on a corpus that starts from
# tests/fuzz/seeds/<target> (where there is one) and grows from run to run.
# Further arguments go to libFuzzer, e.g. -jobs=4 -workers=4.
#   convlib  the braille library: the converter and its C functions
#   dicscan  the dictionary block scan against the line-by-line reading
#   profile  the private-profile layer: random files and batches of key writes
#   rute     the RUTE header reader and the external search's reading of a
#            document against the plain reading
# Usage: tools/fuzz.sh convlib|dicscan|profile|rute [seconds] [libFuzzer flags...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: tools/fuzz.sh convlib|dicscan|profile|rute [seconds] [libFuzzer flags...]}
shift
seconds=${1:-60}
shift || true
build="$root/build-fuzz"
# A settings file of many lines and a batch of writes need longer inputs.
max_len=1024
if [ "$target" = profile ]; then max_len=8192; fi

# Everything the fuzzer links is instrumented for coverage and sanitized; the
# fuzzer's own link adds libFuzzer's main.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_FUZZ=ON -DTAVO_WITH_GUI=OFF -DTAVO_BENCH=OFF \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" >/dev/null
ninja -C "$build" "${target}_fuzzer"

corpus="$build/$target-corpus"
mkdir -p "$corpus"
if [ -d "$root/tests/fuzz/seeds/$target" ]; then cp -n "$root/tests/fuzz/seeds/$target"/* "$corpus"/; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/bin/${target}_fuzzer" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
  -artifact_prefix="$build/$target-" "$@" "$corpus"
