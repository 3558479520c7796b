#!/usr/bin/env bash
# Starts velocore-sim on a virtual X display (Xvfb), checks the main window's
# place, size and shape, clicks through both layouts with xdotool and saves a
# screenshot of every step into build/display-check/.
# Usage: scripts/display-check.sh [BIN_DIR]   (default build/dev/bin)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/dev/bin}
out=$top/build/display-check
screen_w=1024 screen_h=768
for tool in Xvfb xwininfo xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "display check: $tool is missing" >&2; exit 2; }
done
mkdir -p "$out"
rm -f "$out"/*.png
runtime=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$runtime/display" ] && break; sleep 0.1; done
[ -s "$runtime/display" ] || { echo "display check: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$runtime/display")

XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime "$bin/velocore-sim" >"$out/velocore-sim.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Clock Frequency$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "display check: no main window appeared" >&2; exit 1; }
sleep 0.5

failures=0
check() {  # check WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "ok   $1: $2"; else echo "FAIL $1: $2, expected $3"; failures=$((failures + 1)); fi
}
field() { xwininfo -id "$window" | sed -n "s/^ *$1: *//p"; }
left=$(field 'Absolute upper-left X'); top_y=$(field 'Absolute upper-left Y')
check "window size" "$(field Width)x$(field Height)" "526x216"
check "window centred" "$left,$top_y" "$(((screen_w - 526) / 2)),$(((screen_h - 216) / 2))"

shot() { import -window root "$out/$1.png"; echo "     screenshot $out/$1.png"; }
# The colour on screen at a client point of the window, from the last shot.
pixel() { convert "$out/$1.png" -format "%[pixel:p{$((left + $2)),$((top_y + $3))}]" info:; }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep "${3:-0.3}"; }

shot 01-easy
desktop=$(pixel 01-easy -10 -10)
check "Easy: outside the outline shows the desktop" "$(pixel 01-easy 5 60)" "$desktop"
[ "$(pixel 01-easy 200 200)" != "$desktop" ] && echo "ok   Easy: the strip is drawn" || { echo "FAIL Easy strip"; failures=$((failures + 1)); }

click 341 191 1.5      # Advanced Mode: the transition runs 0.8 s
shot 02-advance
[ "$(pixel 02-advance 200 10)" != "$desktop" ] && echo "ok   Advance: the full face is drawn" || { echo "FAIL Advance face"; failures=$((failures + 1)); }
check "Advance: right of the outline shows the desktop" "$(pixel 02-advance 525 20)" "$desktop"

click 156 172; click 156 172   # up, up
shot 03-up-twice
click 156 190                  # down
shot 04-down
click 257 187 3.5              # GO: two lamp sweeps, the write, two measurements
shot 05-go
click 259 158                  # Default
shot 06-default
click 374 159                  # Save
click 317 159 0.8              # Load: answers with a message box
shot 07-load-message
box=$(xdotool search --name '^Message$' 2>/dev/null | head -1 || true)
[ -n "$box" ] && echo "ok   Load shows its message box" || { echo "FAIL no message box after Load"; failures=$((failures + 1)); }
[ -n "$box" ] && { xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return; sleep 0.3; }
click 346 187 1.2              # Easy Mode: the transition runs 0.6 s
shot 08-easy-again
check "Easy again: outside the outline shows the desktop" "$(pixel 08-easy-again 200 10)" "$desktop"

# Dragging by the background moves the window by the pointer's travel.
xdotool mousemove --window "$window" 240 150 mousedown 1 sleep 0.1 \
  mousemove_relative 20 15 sleep 0.1 mousemove_relative 20 15 sleep 0.1 mouseup 1
sleep 0.3
check "drag moves the window" "$(field 'Absolute upper-left X'),$(field 'Absolute upper-left Y')" \
  "$((left + 40)),$((top_y + 30))"
shot 09-dragged

if [ "$failures" -ne 0 ]; then echo "display check: $failures failure(s)"; exit 1; fi
echo "display check passed; screenshots in $out"
