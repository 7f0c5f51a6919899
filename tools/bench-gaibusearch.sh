#!/usr/bin/env bash
# The external search over generated documents (RelWithDebInfo build in
# build/, no window): 200 documents of about 1 MB in nested subfolders (200 MB
# of braille lines in all), searched for a word (by default ぬいぐるみ, which
# none of them holds) from OK to the end row, timed in alternating pairs with
# the converter alone on the same lines. The search converts only the lines
# whose cells can write every character of the word, so the figure depends
# on the word.
#   bash tools/bench-gaibusearch.sh [documents] [pairs] [word]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=${1:-200}
pairs=${2:-9}
word=${3:-ぬいぐるみ}
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_BENCH=ON >/dev/null
ninja -C "$build" tavo_gen tavo_bench_gaibusearch >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/tavo_gen" rute "$work/docs" "$files" 41000 --subfolders 6 --seed 1
du -sm "$work/docs" | awk '{print "documents: " $1 " MiB on disk"}'
"$build/bin/tavo_bench_gaibusearch" "$work/docs" "$word" "$pairs"
