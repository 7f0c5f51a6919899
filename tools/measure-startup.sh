#!/usr/bin/env bash
# Measures how long TavoDic takes from its start until its main window is
# shown, and the program's peak memory, on a virtual X display. Runs the built
# program (build/bin/tavodic) several times on the demo settings.
#   bash tools/measure-startup.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
for tool in Xvfb xdotool /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool time)" >&2; exit 2; }
done
[ -x "$root/build/bin/tavodic" ] || { echo "build first: bash tools/demo.sh or ninja -C build" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/one.sh" <<'INNER'
set -euo pipefail
start=$(date +%s%N)
TAVO_WINDIR="$WINDIR" /usr/bin/time -f "%M" -o "$OUT.mem" "$PROGRAM" &
pid=$!
# xdotool's own --sync polls only twice a second; poll every 5 ms instead.
until xdotool search --onlyvisible --name "TavoDic 分かち書き辞書" >/dev/null 2>&1; do sleep 0.005; done
shown=$(date +%s%N)
echo $(( (shown - start) / 1000000 )) > "$OUT.ms"
sleep 0.5
kill -TERM "$(pgrep -P "$pid")"
wait "$pid" || true
INNER
mkdir -p "$work/win"
for i in $(seq 1 "$runs"); do
  WINDIR="$work/win" PROGRAM="$root/build/bin/tavodic" OUT="$work/run$i" \
    "$root/tests/support/on-virtual-display.sh" 1280x800x24 bash "$work/one.sh"
  printf 'run %d: shown after %s ms, peak memory %s KiB\n' "$i" "$(cat "$work/run$i.ms")" "$(cat "$work/run$i.mem" | tail -1)"
done
