#!/usr/bin/env bash
# Runs the tests of one build folder as the test command does: everything
# they write lies in one temporary folder, removed at the end (and each test
# process has a home of its own inside it), Qt draws off screen, the tests
# talk to a session bus of their own, and the locale is fixed.
# Usage: tools/ctest.sh BUILD-FOLDER [ctest arguments...]
#   e.g. tools/ctest.sh build-test -R '^views\.ShellFileList'
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD-FOLDER [ctest arguments...]" >&2; exit 2; }
dir=$1; shift
[ -f "$dir/CTestTestfile.cmake" ] || { echo "$dir holds no tests: configure it with -DTAVO_TESTS=ON and build it" >&2; exit 2; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavo-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share" \
  XDG_CACHE_HOME="$scratch/home/.cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset LANGUAGE TAVO_WINDIR
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec dbus-run-session -- ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@"
