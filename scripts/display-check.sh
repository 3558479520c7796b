#!/usr/bin/env bash
# Starts velocore-sim on a virtual X display (Xvfb) with trayer as the tray,
# checks the main window's place, size and shape, clicks through both layouts,
# the panels and Auto Optimize with xdotool, works the tray icon and its menu
# (Hide, Show, double click, Exit), then checks that without a tray a second
# start brings the hidden window back. Every frame of the start and of both
# layout switches is judged (scripts/frame-watch.pl: no grey box, no black
# window) and the window's shape in both layouts is held against the face
# pictures, as the Windows check does. A screenshot of every step goes into
# build/display-check/.
# Usage: scripts/display-check.sh [BIN_DIR]   (default build/dev/bin)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/dev/bin}
out=$top/build/display-check
screen_w=1024 screen_h=768
for tool in Xvfb xwininfo xdotool xsetroot import convert perl trayer; do
  command -v "$tool" >/dev/null || { echo "display check: $tool is missing" >&2; exit 2; }
done
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.ppm
runtime=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it once it is ready.
# The screen's pixels are a file the frame watcher reads as they change.
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -fbdir "$runtime" -noreset -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$runtime/display" ] && break; sleep 0.1; done
[ -s "$runtime/display" ] || { echo "display check: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$runtime/display")
# A desktop colour no skin picture holds: neither black nor white nor grey
# (-noreset keeps it when the last client goes).
xsetroot -solid '#3a6ea5'

# The tray: a strip in the top right corner of the screen.
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
  --transparent false --tint 0x404040 >"$out/trayer.log" 2>&1 &
trayer_pid=$!
pids+=($trayer_pid)
for _ in $(seq 50); do xwininfo -root -tree | grep -q '("panel" "trayer")' && break; sleep 0.1; done

# Starts velocore-sim with its own runtime folder RUN and log LOG, and waits
# for its main window (app_pid, window); WHEN names the case in the failure.
start_app() {  # start_app RUN LOG WHEN
  mkdir -m 700 "$runtime/$1"
  XDG_RUNTIME_DIR=$runtime/$1 XDG_CONFIG_HOME=$runtime "$bin/velocore-sim" >"$out/$2" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name '^Clock Frequency$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "display check: no main window $3" >&2; exit 1; }
  sleep 0.5
}

# Every frame from before the start to the end of both layout switches.
watcher=$top/scripts/frame-watch.pl
"$watcher" watch "$runtime/Xvfb_screen0" "$out" "$runtime/frames.stop" 10 60 >"$runtime/frames.txt" &
watch_pid=$!
pids+=($watch_pid)
sleep 0.3
start_app run velocore-sim.log appeared

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

# The shape the window shows is the face picture's, pixel for pixel, in both
# layouts (the pointer kept off the window).
shape() {  # shape LAYOUT PICTURE FACE_TOP
  xdotool mousemove 0 $((screen_h - 1)); sleep 0.3
  local result
  if result=$("$watcher" shape "$runtime/Xvfb_screen0" "$left" "$top_y" 526 216 "$top/resources/$2.bmp" "$3" \
      $((left - 10)) $((top_y - 10))); then
    echo "ok   $1 $result"
  else
    echo "FAIL $1 $result"; failures=$((failures + 1))
  fi
}
shape Easy 109 110
click 341 191 1.5      # Advanced Mode
shape Advance 136 0
click 346 187 1.2      # Easy Mode
touch "$runtime/frames.stop"; wait "$watch_pid" || true
sed 's/^/     /' "$runtime/frames.txt"
frames=$(tail -1 "$runtime/frames.txt")
distinct=$(awk '/^frames:/ { print $5 }' <<<"$frames")
[ "${distinct:-0}" -ge 3 ] && echo "ok   the start and both switches gave $distinct distinct frames" \
  || { echo "FAIL the frame watcher saw ${distinct:-no} distinct frames"; failures=$((failures + 1)); }
check "frames with a grey box" "$(awk '/^frames:/ { print $7 }' <<<"$frames")" "0"
check "frames with a black window" "$(awk '/^frames:/ { print $9 }' <<<"$frames")" "0"

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
# A lamp of the gauge: lit after GO, dark again once a window has uncovered it.
[ "$(pixel 05-go 227 41)" != "$(pixel 04-down 227 41)" ] && echo "ok   GO lights the gauge" \
  || { echo "FAIL GO left the gauge dark"; failures=$((failures + 1)); }
click 467 168 0.8              # CPU info: its panel opens over the gauge
xdotool mousemove $(((screen_w - 400) / 2 + 378)) $(((screen_h - 200) / 2 + 8)) click 1; sleep 0.5  # its close button
shot 05b-gauge-uncovered
check "an uncovered gauge is painted dark" "$(pixel 05b-gauge-uncovered 227 41)" "$(pixel 04-down 227 41)"
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

mapped() { xwininfo -id "$1" | sed -n 's/^ *Map State: *//p'; }
# The newest small velocore-sim window: the icon inside the tray (its
# absolute centre) or an open menu (its place and size).
tray_icon() {
  xwininfo -root -tree | awk '/"velocore-sim": \("velocore-sim" "velocore-sim"\) +(1[0-9]|2[0-9]|3[0-2])x[0-9]+\+/ {
    split($NF, a, "+"); split($(NF-1), s, "[x+]"); print a[2] + int(s[1] / 2), a[3] + int(s[2] / 2); exit }'
}
menu_window() {
  xwininfo -root -tree | awk '/"velocore-sim": \("velocore-sim" "velocore-sim"\) +1[0-9][0-9]x[0-9][0-9][0-9]?\+/ { print $1; exit }'
}
# Opens the tray menu with a right press on the icon, then picks an item with
# the keys (grayed items are skipped).
tray_menu() {
  xdotool mousemove $icon click 3; sleep 0.5
  [ -n "$(menu_window)" ] || { echo "FAIL the tray menu did not open"; failures=$((failures + 1)); }
  [ -n "${1:-}" ] && shot "$1"
  xdotool key "${@:2}"; sleep 0.6
}

# --- panels and Auto Optimize (Easy layout) ---
click 465 167 0.8              # CPU info: measures, then shows the panel
shot 10-cpu-info-panel
cpu_panel=$(xdotool search --name '^CPU Information$' 2>/dev/null | head -1 || true)
[ -n "$cpu_panel" ] && check "processor panel shown" "$(mapped "$cpu_panel")" "IsViewable" \
  || { echo "FAIL no processor panel"; failures=$((failures + 1)); }
click 229 191 1.2              # Auto Optimize: the popup and its twelve texts
shot 11-auto-optimize-running
popup=$(xdotool search --name '^VelocoreIII$' 2>/dev/null | head -1 || true)
[ -n "$popup" ] && check "progress popup shown" "$(mapped "$popup")" "IsViewable" \
  || { echo "FAIL no progress popup"; failures=$((failures + 1)); }
sleep 6                        # the entry is applied 6.5 s after showing
shot 12-auto-optimized
[ -n "$popup" ] && check "progress popup gone after the run" "$(mapped "$popup")" "IsUnMapped"
click 229 191 0.8              # pressed again: back to the default entry
shot 13-default-restored

# --- the tray ---
icon=$(tray_icon)
[ -n "$icon" ] && echo "ok   tray icon at $icon" || { echo "FAIL no tray icon"; failures=$((failures + 1)); }
if [ -n "$icon" ]; then
  tray_menu 14-tray-menu Down Down Return           # Advance Mode, Hide: Hide
  check "menu Hide hides the window" "$(mapped "$window")" "IsUnMapped"
  shot 15-hidden
  tray_menu 16-tray-menu-hidden Down Down Return    # Advance Mode, Show: Show
  check "menu Show shows the window" "$(mapped "$window")" "IsViewable"
  tray_menu "" Down Down Return
  xdotool mousemove $icon click --repeat 2 --delay 80 1; sleep 0.6
  check "double click on the icon shows the window" "$(mapped "$window")" "IsViewable"
  shot 17-shown-by-double-click
  tray_menu "" Up Return                            # Exit, the last item
  for _ in $(seq 30); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  code=0; kill -0 "$app_pid" 2>/dev/null && code=running || wait "$app_pid" || code=$?
  check "Exit ends the program" "$code" "0"
  check "Exit removes the tray icon" "$(tray_icon)" ""
  shot 18-after-exit
fi

# --- no tray: a second start brings the hidden window back ---
kill "$trayer_pid" 2>/dev/null || true; wait "$trayer_pid" 2>/dev/null || true
sleep 0.5
start_app run2 velocore-sim-no-tray.log "without a tray"
click 437 138 0.6              # POWER: hidden, and no tray to come back from
check "no tray: POWER hides the window" "$(mapped "$window")" "IsUnMapped"
box=$(xdotool search --name '^Message$' 2>/dev/null | head -1 || true)
[ -n "$box" ] && echo "ok   no tray: POWER says how to get the window back" \
  || { echo "FAIL no tray: no message after POWER"; failures=$((failures + 1)); }
shot 18b-no-tray-hint
[ -n "$box" ] && { xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return; sleep 0.3; }
second_out=$(XDG_RUNTIME_DIR=$runtime/run2 XDG_CONFIG_HOME=$runtime timeout 20 "$bin/velocore-sim" 2>&1) && code=0 || code=$?
check "no tray: the second start ends with 1" "$code" "1"
check "no tray: the second start says nothing" "$second_out" ""
sleep 0.5
check "no tray: the second start shows the hidden window" "$(mapped "$window")" "IsViewable"
shot 19-no-tray-shown-again
xdotool mousemove --window "$window" 300 160 click 3; sleep 0.5
[ -n "$(menu_window)" ] && echo "ok   no tray: a right press on the face opens the menu" \
  || { echo "FAIL no menu on the face"; failures=$((failures + 1)); }
shot 20-no-tray-menu-on-face
xdotool key Up Return; sleep 0.6
for _ in $(seq 30); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && { echo "FAIL no tray: Exit from the face menu"; failures=$((failures + 1)); } \
  || echo "ok   no tray: Exit from the face menu ends the program"

if [ "$failures" -ne 0 ]; then echo "display check: $failures failure(s)"; exit 1; fi
echo "display check passed; screenshots in $out"
