#!/usr/bin/env bash
# The dictionary search against grep on the same generated dictionary
# (RelWithDebInfo build in build/, no window):
#  1. a 100 MB dictionary searched for a word that is not in it, from the
#     start to the end row, and `LC_ALL=C grep -F -c` on the same file, run in
#     alternating pairs (search, grep, search, grep, ...); prints the median of
#     the pairs' ratios search / grep;
#  2. the time to the first page on a dictionary full of hits (median).
#   bash tools/bench-dicsearch.sh [megabytes] [pairs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mb=${1:-100}
pairs=${2:-9}
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_BENCH=ON >/dev/null
ninja -C "$build" tavo_gen tavo_bench_dicsearch >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/tavo_gen" dict "$work/big.dic" "$mb" --seed 1
"$build/bin/tavo_gen" dict "$work/hits.dic" "$mb" --hits-hex 82CB82B1 1 --seed 2
word=$(printf '\x82\xCB\x82\xB1' | iconv -f CP932 -t UTF-8)  # ねこ: never in the generated words
ls -l "$work/big.dic" | awk '{printf "dictionary: %.1f MB\n", $5/1e6}'

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
# Wall time of a command in milliseconds; both sides are timed the same way,
# process start included.
wall() {
  local s=$EPOCHREALTIME
  "$@" >"$work/out"
  local e=$EPOCHREALTIME
  awk -v s="$s" -v e="$e" 'BEGIN {printf "%.3f", (e - s) * 1000}'
}
search() { "$build/bin/tavo_bench_dicsearch" "$work/big.dic" "$word" end 1; }
# grep stops at the first match when its output is /dev/null; it counts here.
grepc() { LC_ALL=C grep -F -c "$(printf '\x82\xCB\x82\xB1')" "$work/big.dic" || true; }

search >/dev/null; grepc >/dev/null  # both read the file into the page cache
: >"$work/ratios"
for ((i = 1; i <= pairs; i++)); do
  a=$(wall search)
  grep -q '^end:' "$work/out" || { echo "search did not end: $(cat "$work/out")"; exit 1; }
  b=$(wall grepc)
  echo "pair $i: search $a ms, grep $b ms (count $(cat "$work/out"))"
  awk -v a="$a" -v b="$b" 'BEGIN {print a / b}' >>"$work/ratios"
done
echo "no-hit scan / grep -F -c, median of $pairs paired ratios: $(median <"$work/ratios")"
"$build/bin/tavo_bench_dicsearch" "$work/hits.dic" "$word" first 21 | tee "$work/first" | tail -1
echo "first page, full of hits, median of 21: $(awk '{print $3}' "$work/first" | median) ms"
