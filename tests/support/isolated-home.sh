#!/bin/sh
# Runs a test program in a home of its own: HOME, the XDG folders and TMPDIR
# point into a fresh temporary folder, which is removed when the program ends.
# The locale is fixed too (C.UTF-8), so that the shell's own, or none, does
# not change what the X tools and the program's windows make of Japanese
# names.
# Usage: isolated-home.sh program [arguments...]
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/tavo-home.XXXXXX") || exit 125
trap 'rm -rf "$home"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run" "$home/tmp" || exit 125
chmod 700 "$home/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" TMPDIR="$home/tmp"
unset TAVO_WINDIR LANGUAGE
export LC_ALL=C.UTF-8 LANG=C.UTF-8
"$@"
