#!/usr/bin/env bash
# Compares two builds of a Google Benchmark program fairly on a busy machine:
# runs them in alternating pairs (A B A B ...) and prints, per benchmark, the
# median of each build's counter and the median of the paired ratios B / A.
#   bash tools/bench-pairs.sh A-binary B-binary [pairs] [counter] [filter]
# Defaults: 11 pairs, the counter "MB", every benchmark.
set -euo pipefail
a=$1 b=$2
pairs=${3:-11}
counter=${4:-MB}
filter=${5:-.}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for ((i = 0; i < pairs; i++)); do
  for side in a b; do
    bin=$a; [[ $side == b ]] && bin=$b
    "$bin" --benchmark_filter="$filter" --benchmark_min_time=0.2 --benchmark_format=csv 2>/dev/null |
      awk -F, -v c="$counter" -v side="$side" -v pair="$i" '
        NR == 1 || /^name,/ { for (k = 1; k <= NF; k++) if ($k == c || $k == "\"" c "\"") col = k; next }
        col { gsub(/"/, "", $1); print pair, side, $1, $col }' >>"$out/runs"
  done
done
printf "%-28s %10s %10s %8s\n" benchmark A B B/A
awk '
  function median(arr, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (arr[j] < arr[i]) { t = arr[i]; arr[i] = arr[j]; arr[j] = t }
    return n % 2 ? arr[(n + 1) / 2] : (arr[n / 2] + arr[n / 2 + 1]) / 2
  }
  { v[$3, $2, $1] = $4; names[$3] = 1; if ($1 + 1 > np) np = $1 + 1 }
  END {
    for (name in names) {
      na = nb = nr = 0
      for (p = 0; p < np; p++) {
        if ((name, "a", p) in v) xa[++na] = v[name, "a", p]
        if ((name, "b", p) in v) xb[++nb] = v[name, "b", p]
        if ((name, "a", p) in v && (name, "b", p) in v) r[++nr] = v[name, "b", p] / v[name, "a", p]
      }
      printf "%-28s %10.1f %10.1f %8.2f\n", name, median(xa, na), median(xb, nb), median(r, nr)
    }
  }' "$out/runs" | sort
