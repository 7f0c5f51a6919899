#!/usr/bin/env bash
# The dictionary search against grep on the same generated dictionary:
#  1. a 100 MB dictionary searched for a word that is not in it, from Enter
#     to the "not found" end, and `LC_ALL=C grep -F -c` on the same file;
#  2. the time to the first page on a dictionary full of hits.
#   bash tools/bench-dicsearch.sh [megabytes]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mb=${1:-100}
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DTAVO_BENCH=ON >/dev/null
ninja -C "$build" tavo_gen tavo_bench_dicsearch Tavo32Lib >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/tavo_gen" dict "$work/big.dic" "$mb" --seed 1
"$build/bin/tavo_gen" dict "$work/hits.dic" "$mb" --hits-hex 82CB82B1 1 --seed 2
word_hex=82CB82B1   # ねこ: never in the generated words
word=$(printf '\x82\xCB\x82\xB1' | iconv -f CP932 -t UTF-8)
ls -l "$work/big.dic" | awk '{printf "dictionary: %.1f MB\n", $5/1e6}'

# grep stops at the first match when its output is /dev/null; count into a file.
best_grep=""
for i in 1 2 3; do
  s=$(date +%s%N)
  LC_ALL=C grep -F -c "$(printf '\x82\xCB\x82\xB1')" "$work/big.dic" > "$work/count" || true
  e=$(date +%s%N)
  t=$(( (e - s) / 1000 ))
  if [ -z "$best_grep" ] || [ "$t" -lt "$best_grep" ]; then best_grep=$t; fi
done
best_tool=$("$build/bin/tavo_bench_dicsearch" "$work/big.dic" "$word" 3 |
  awk '/^end:/ {print $2}' | sort -n | head -1)
grep_ms=$(awk -v t="$best_grep" 'BEGIN {printf "%.1f", t / 1000}')
echo "grep -F -c (no match, $(cat "$work/count") lines): $grep_ms ms"
echo "dictionary search to the not-found end:  $best_tool ms"
awk -v a="$best_tool" -v b="$grep_ms" 'BEGIN {printf "ratio: %.2fx grep\n", a / b}'
"$build/bin/tavo_bench_dicsearch" "$work/hits.dic" "$word" 3 | sed 's/^/full of hits, /'
