#!/usr/bin/env bash
# Installs the build into a fresh prefix, as a packager would, and starts the
# installed program on a virtual X display: it must bind its conversion
# library from where it was installed and show its main window.
# Usage: InstallStarts.sh <build folder>
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tavo-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
program="$prefix/bin/tavodic"
[ -x "$program" ] || { echo "no program at $program"; exit 1; }
lib=$(find "$prefix" -name libTavo32Lib.so)
[ -n "$lib" ] || { echo "no libTavo32Lib.so under $prefix"; exit 1; }
# The help pages lie in the data folder, where the program looks for them
# from its own folder.
for page in HID00000001.htm HID00000007.htm HID00000008.htm; do
  [ -f "$prefix/share/tavodic/help/$page" ] || { echo "no help page $page under $prefix/share/tavodic/help"; exit 1; }
done
# Nothing of the build tree may be needed.
if readelf -d "$program" | grep -q "$build"; then echo "the installed program names the build folder"; exit 1; fi

mkdir -p "$work/windir"
cat > "$work/run.sh" <<'INNER'
set -u
TAVO_WINDIR="$WINDIR" QT_QPA_PLATFORM=xcb "$PROGRAM" 2>"$WINDIR/stderr" &
pid=$!
deadline=$(( $(date +%s) + 60 ))
shown=""
until [ -n "$shown" ]; do
  shown=$(xdotool search --onlyvisible --name "分かち書き辞書" 2>/dev/null | head -1)
  [ -n "$shown" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the program ended before it showed its window"; cat "$WINDIR/stderr"; exit 1; }
  [ "$(date +%s)" -lt "$deadline" ] || { echo "no main window within 60 s"; kill "$pid"; exit 1; }
  sleep 0.05
done
echo "main window shown: $(xdotool getwindowname "$shown")"
kill -TERM "$pid"
wait "$pid" 2>/dev/null
exit 0
INNER
WINDIR="$work/windir" PROGRAM="$program" \
  "$(dirname "$0")/../support/on-virtual-display.sh" 1024x768x24 bash "$work/run.sh"
