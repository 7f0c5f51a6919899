#!/usr/bin/env bash
# Installs what is needed, builds, and starts TavoDic on copies of the
# shipped samples: a demo folder (out/demo) holds the settings and the copies,
# with the sample dictionary registered, so that a new user can search and
# register words at once. Neither the user's own settings nor the files of
# the checkout are changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$root/build" tavodic Tavo32Lib tavodic_help
demo="$root/out/demo"
mkdir -p "$demo/samples"
chmod 700 "$demo"
# Copied once: words registered in the copies stay from one demo to the next.
cp -rn "$root/samples/." "$demo/samples/"
# A settings file of an older demo that registered the checkout's own sample
# is made anew.
if [ -f "$demo/tavodic.ini" ] && grep -q "$root/samples/sample.dic" "$demo/tavodic.ini"; then
  rm "$demo/tavodic.ini"
fi
if [ ! -f "$demo/tavodic.ini" ]; then
  # The settings file is CP932: the searched dictionaries (検索対象辞書ファイル,
  # keys ファイル数 and ファイル名0) and the dictionary new words go to
  # (書込対象辞書ファイル, key ファイル名).
  printf '[%s]\r\n%s=1\r\n%s0=%s\r\n[%s]\r\n%s=%s\r\n' \
    "検索対象辞書ファイル" "ファイル数" "ファイル名" "$demo/samples/sample.dic" \
    "書込対象辞書ファイル" "ファイル名" "$demo/samples/sample.dic" |
    iconv -f UTF-8 -t CP932 > "$demo/tavodic.ini"
fi
TAVO_WINDIR="$demo" exec "$root/build/bin/tavodic" "$@"
