#!/usr/bin/env bash
# A screen reader hears the pause, the cancel and the end of a search without
# looking for them: the built program runs on a virtual X display with the
# accessibility bus on, is driven by keys alone (xdotool), and a real AT-SPI
# listener waits for the status line's notifications.
# Usage: AnnouncedOverAtSpi.sh <build folder>
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/atspi-setup.sh"
mkdir -p "$work/windir"
# Many hits for "cat" (the search pauses after its first page), one for "dog".
{ for i in $(seq 300); do printf 'cat\r\n'; done; printf 'dog\r\n'; } > "$work/a.dic"
printf '[%s]\r\n%s=1\r\n%s0=%s\r\n' "検索対象辞書ファイル" "ファイル数" "ファイル名" "$work/a.dic" |
  iconv -f UTF-8 -t CP932 > "$work/windir/tavodic.ini"

cat > "$work/run.sh" <<'INNER'
set -u
/usr/bin/python3 "$HERE/atspi_listen.py" 60 "Enterキーで続行" "検索中止" "検索終了" > "$WORK/heard" 2>&1 &
listener=$!
until grep -q listening "$WORK/heard"; do
  kill -0 "$listener" 2>/dev/null || { cat "$WORK/heard"; exit 1; }
  sleep 0.05
done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb TAVO_WINDIR="$WORK/windir" "$PROGRAM" 2>"$WORK/stderr" &
pid=$!
deadline=$(( $(date +%s) + 60 ))
win=""
until [ -n "$win" ]; do
  win=$(xdotool search --onlyvisible --name "分かち書き辞書" 2>/dev/null | head -1)
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the program ended before it showed its window"; cat "$WORK/stderr"; exit 1; }
  [ "$(date +%s)" -lt "$deadline" ] || { echo "no main window within 60 s"; kill "$pid"; exit 1; }
  sleep 0.05
done
# Each key waits for what the one before it made the program announce.
heard() {
  until grep -q "announced: $1" "$WORK/heard"; do
    kill -0 "$listener" 2>/dev/null || return 0  # the listener has given up: its report says why
    sleep 0.05
  done
}
xdotool windowfocus --sync "$win"
xdotool type --delay 50 cat
xdotool key Return   # the first page: the search pauses
heard "Enterキーで続行"
xdotool key Escape   # cancelled; the focus stays on the grid
heard "検索中止"
xdotool key Tab      # from the grid round to the search box
xdotool key ctrl+a
xdotool type --delay 50 dog
xdotool key Return   # the search runs to its end
wait "$listener"
rc=$?
kill -TERM "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
cat "$WORK/heard"
exit $rc
INNER
HERE="$here" WORK="$work" PROGRAM="$build/bin/tavodic" \
  "$here/../support/on-virtual-display.sh" 1280x800x24 dbus-run-session -- bash "$work/run.sh"
