#!/usr/bin/env bash
# A screen reader user's tour of every window by keys alone: the built
# program runs on a virtual X display with the accessibility bus on, and a
# real AT-SPI listener hears each focus stop (keyboard_over_atspi.py).
# Usage: KeyboardOverAtSpi.sh <build folder>
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/atspi-setup.sh"
mkdir -p "$work/windir" "$work/docs" "$work/bin"
# Many hits for "cat": the search pauses after its first page.
for i in $(seq 300); do printf 'cat\r\n'; done > "$work/a.dic"
printf 'x\r\n' > "$work/docs/a.RUT"
printf '[%s]\r\n%s=1\r\n%s0=%s\r\n[%s]\r\n%s=%s\r\n' "検索対象辞書ファイル" "ファイル数" "ファイル名" "$work/a.dic" \
  "外部ファイル選択" "最後に参照したパス" "$work/docs" | iconv -f UTF-8 -t CP932 > "$work/windir/tavodic.ini"
# The desktop's opener starts but cannot show the page (as without a browser).
printf '#!/bin/sh\nexit 3\n' > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
"$here/../support/on-virtual-display.sh" 1280x800x24 dbus-run-session -- \
  /usr/bin/python3 "$here/keyboard_over_atspi.py" "$build/bin/tavodic" "$work"
