#!/usr/bin/env bash
# Runs a command on a virtual X display of its own.
# Usage: on-virtual-display.sh WIDTHxHEIGHTxDEPTH command [args...]
# The X server picks a free display number itself and tells it back, so two
# of these started at the same moment never race for one number (a fixed or
# guessed number made parallel test runs fail to connect).
set -euo pipefail
screen=$1; shift
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
fifo=$(mktemp -u "${TMPDIR:-/tmp}/tavo-display.XXXXXX")
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$fifo"' EXIT
number=""
read -r -t 30 number <"$fifo" || true
[ -n "$number" ] || { echo "the virtual X server did not start"; exit 1; }
DISPLAY=":$number" "$@"
