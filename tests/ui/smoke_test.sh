#!/bin/sh
# Starts the real korvexa program on an X server (run under xvfb-run) with a
# generated township named on its command line, waits for the window titled
# "Korvexa" followed by the file's name, checks that the program still runs
# once the window is painted, and saves a picture of the window. Then opens
# the township map with Ctrl+M, ticks a block of corners by dragging a
# rectangle over it, and saves a picture of the map window beside the first.
# Then starts the program again with --gps replaying an NMEA log, ticks every
# corner (Select all), lets Next pick the corner the walk closes in on, zooms
# in on the position the map follows, and saves a picture of the navigator.
# usage: smoke_test.sh KORVEXA SCREEN_GRAB MAKE_TOWNSHIP OUTPUT.png [MAP_OUTPUT.png [NAVIGATOR_OUTPUT.png LOG.nmea]]
set -eu
korvexa=$1
grab=$2
make_township=$3
out=$4
map_out=${5:-}
navigator_out=${6:-}
log=${7:-}

# xvfb-run can hand over before its server takes connections on a busy
# machine: wait until the display answers before starting the program.
tries=0
until xdpyinfo >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ "$tries" -lt 100 ] || { echo "error: the X server on $DISPLAY did not answer within 10 s" >&2; exit 1; }
  sleep 0.1
done

work=$(mktemp -d)
"$make_township" "$work/t12n.lx"
# The program keeps the map window's size and place in its settings: here
# in the test's own folder, never in the user's.
export XDG_CONFIG_HOME="$work/config"
# And journals its walks in the test's folder too.
export XDG_STATE_HOME="$work/state"
(cd "$work" && exec "$korvexa" t12n.lx) &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# Whether the program still runs: an ended child stays a zombie until it is
# waited for, and kill -0 succeeds on a zombie.
running() {
  state=$(ps -o stat= -p "$pid" 2>/dev/null) || return 1
  case $state in Z*) return 1 ;; esac
}

# Waits up to 15 s for a window titled $1 and prints its id.
find_window() {
  tries=0
  while :; do
    # The title of the client leader window is the program name too; it has no class.
    found=$(xwininfo -root -tree | awk -v title="\"$1\":" '$2 == title && $3 != "()" { print $1; exit }')
    if [ -z "$found" ]; then
      # A title with blanks spans several fields: compare the whole line.
      found=$(xwininfo -root -tree | awk -v title="\"$1\": (" 'index($0, title) && $0 !~ /\(has no name\)/ { print $1; exit }')
    fi
    [ -n "$found" ] && { echo "$found"; return 0; }
    running || { echo "error: korvexa ended before it showed \"$1\"" >&2; return 1; }
    tries=$((tries + 1))
    [ "$tries" -lt 150 ] || { echo "error: no window titled \"$1\" within 15 s" >&2; return 1; }
    sleep 0.1
  done
}

# Sets x, y, width and height to the place and size of window $1.
measure() {
  info=$(xwininfo -id "$1")
  field() { echo "$info" | awk -F: -v name="$1" '$1 ~ name { gsub(/ /, "", $2); print $2 }'; }
  x=$(field "Absolute upper-left X")
  y=$(field "Absolute upper-left Y")
  width=$(field "Width")
  height=$(field "Height")
  echo "window $1: ${width}x${height} at $x,$y"
}

window=$(find_window "Korvexat12n.lx")
measure "$window"
sleep 1  # let the window paint itself
running || { echo "error: korvexa ended after showing its window" >&2; exit 1; }
"$grab" "$out" "$x" "$y" "$width" "$height"
echo "saved $out"

[ -n "$map_out" ] || exit 0
xdotool windowfocus --sync "$window" key ctrl+m
map=$(find_window "t12n.lx - Township map")
measure "$map"
sleep 1
# Drag a rectangle over the middle of the map: the corners inside get ticked.
xdotool mousemove $((x + width * 42 / 100)) $((y + height * 34 / 100)) mousedown 1 \
  mousemove $((x + width * 50 / 100)) $((y + height * 45 / 100)) \
  mousemove $((x + width * 62 / 100)) $((y + height * 58 / 100)) mouseup 1
xdotool mousemove $((x + width - 5)) $((y + height - 5))
sleep 1
running || { echo "error: korvexa ended after showing the map" >&2; exit 1; }
"$grab" "$map_out" "$x" "$y" "$width" "$height"
echo "saved $map_out"

[ -n "$navigator_out" ] || exit 0
kill "$pid"
wait "$pid" 2>/dev/null || true
(cd "$work" && exec "$korvexa" t12n.lx --gps "file:$log") &
pid=$!
window=$(find_window "Korvexat12n.lx")
map=$(find_window "t12n.lx - Township map")
sleep 1
# Select all: the button keeps its place (8, 352 and 73 x 33 pixels in the
# window below the menu bar, whatever its height up to 40 pixels). Without a
# window manager the map window lies over the main one: raise each in turn.
xdotool windowraise "$window" mousemove --window "$window" 44 393 click 1
measure "$map"
xdotool windowraise "$map" windowfocus --sync "$map" key n
for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool key plus; done
xdotool mousemove $((x + width - 5)) $((y + height - 5))
sleep 20  # the walk closes in on the corner
running || { echo "error: korvexa ended while following the walk" >&2; exit 1; }
"$grab" "$navigator_out" "$x" "$y" "$width" "$height"
echo "saved $navigator_out"
