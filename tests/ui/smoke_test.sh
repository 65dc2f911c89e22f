#!/bin/sh
# Starts the real korvexa program on an X server (run under xvfb-run) with a
# generated township named on its command line, waits for the window titled
# "Korvexa" followed by the file's name, checks that the program still runs
# once the window is painted, and saves a picture of the window.
# usage: smoke_test.sh KORVEXA SCREEN_GRAB MAKE_TOWNSHIP OUTPUT.png
set -eu
korvexa=$1
grab=$2
make_township=$3
out=$4

work=$(mktemp -d)
"$make_township" "$work/t12n.lx"
(cd "$work" && exec "$korvexa" t12n.lx) &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

window=
tries=0
while [ -z "$window" ]; do
  # The title of the client leader window is the program name too; it has no class.
  window=$(xwininfo -root -tree | awk '$2 == "\"Korvexat12n.lx\":" && $3 != "()" { print $1; exit }')
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "error: korvexa ended before it showed a window" >&2; exit 1; }
  tries=$((tries + 1))
  [ "$tries" -lt 150 ] || { echo "error: no window titled \"Korvexat12n.lx\" within 15 s" >&2; exit 1; }
  sleep 0.1
done

info=$(xwininfo -id "$window")
field() { echo "$info" | awk -F: -v name="$1" '$1 ~ name { gsub(/ /, "", $2); print $2 }'; }
x=$(field "Absolute upper-left X")
y=$(field "Absolute upper-left Y")
width=$(field "Width")
height=$(field "Height")
echo "window $window: ${width}x${height} at $x,$y"

sleep 1  # let the window paint itself
kill -0 "$pid" 2>/dev/null || { echo "error: korvexa ended after showing its window" >&2; exit 1; }
"$grab" "$out" "$x" "$y" "$width" "$height"
echo "saved $out"
