#!/usr/bin/env bash
# Installs what is needed, builds, and starts TavoDic on the shipped samples:
# a demo settings folder (out/demo) with the sample dictionary registered, so
# that a new user can search at once. The user's own settings stay untouched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$root/build" tavodic Tavo32Lib
demo="$root/out/demo"
mkdir -p "$demo"
chmod 700 "$demo"
if [ ! -f "$demo/tavodic.ini" ] && [ -f "$root/samples/sample.dic" ]; then
  # The settings file is CP932: section 検索対象辞書ファイル, keys ファイル数 and ファイル名0.
  printf '[%s]\r\n%s=1\r\n%s0=%s\r\n' "検索対象辞書ファイル" "ファイル数" "ファイル名" "$root/samples/sample.dic" |
    iconv -f UTF-8 -t CP932 > "$demo/tavodic.ini"
fi
TAVO_WINDIR="$demo" exec "$root/build/bin/tavodic" "$@"
