#!/usr/bin/env bash
# Runs a command on a virtual X display of its own.
# Usage: on-virtual-display.sh WIDTHxHEIGHTxDEPTH command [args...]
# The display number is drawn at random from a wide range, and the X server
# tells back once it listens there. Taking the lowest free number (as -a or
# a server's own choice does) raced with parallel tests: a server that was
# just ending could still remove the socket of the next one on its number,
# which then could not be reached.
set -euo pipefail
screen=$1; shift
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
fifo=$(mktemp -u "${TMPDIR:-/tmp}/tavo-display.XXXXXX")
mkfifo "$fifo"
server=""
trap '[ -z "$server" ] || { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; }; rm -f "$fifo"' EXIT
number=""
for attempt in 1 2 3 4 5 6 7 8; do
  candidate=$(( 100 + RANDOM % 30000 ))
  # A number already in use makes the server end at once, and the read
  # below sees the end of the pipe.
  Xvfb ":$candidate" -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$fifo" 2>/dev/null &
  server=$!
  if read -r -t 30 number <"$fifo" && [ -n "$number" ]; then break; fi
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  server=""
  number=""
done
[ -n "$number" ] || { echo "the virtual X server did not start"; exit 1; }
DISPLAY=":$number" "$@"
