#!/usr/bin/env bash
# Runs velocore-sim.exe under Wine on a virtual X display (Xvfb) with trayer
# as the tray and checks it from outside with xwininfo, xdotool and
# ImageMagick: the main window's size, place and shape, a step up and GO
# (the display changes and the simulated clock chip takes a faster bus
# clock, read from the program's --trace file), the processor information
# panel, the single running copy, the tray icon with its six-item menu (Hide,
# Show, Exit) and the exit code. Every frame of the start and of both layout
# switches is judged (scripts/frame-watch.pl: no grey box, no black window),
# the window's shape in both layouts is held against the face pictures, and
# closing the window, the session's end and Exit within the minute after an
# automatic start each leave no start-up record (pending.dat), so the next
# start applies again. A screenshot of every step goes to SHOT_DIR.
# Usage: scripts/win-display-check.sh [BIN_DIR] [SHOT_DIR]
#   BIN_DIR   where velocore-sim.exe is (default build/win32/bin)
#   SHOT_DIR  screenshots (default build/win-display-check)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/win32/bin}
out=${2:-$top/build/win-display-check}
screen_w=1024 screen_h=768
for tool in Xvfb xwininfo xdotool xsetroot import convert perl trayer wine wineserver; do
  command -v "$tool" >/dev/null || { echo "win display check: $tool is missing" >&2; exit 2; }
done
[ -f "$bin/velocore-sim.exe" ] || { echo "win display check: no $bin/velocore-sim.exe" >&2; exit 2; }
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.ppm
runtime=$(mktemp -d)
pids=()
# The prefix is kept between runs: making one takes many seconds.
export WINEPREFIX=$top/build/win32/wine-display WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap cleanup EXIT

# The program as it ships: the data files, pictures and machines beside it.
app=$runtime/app
mkdir -p "$app/resources" "$app/machines"
cp "$bin/velocore-sim.exe" "$app/"
cp "$top"/data/*.dat "$app/"
cp "$top"/resources/*.bmp "$app/resources/"
cp "$top"/machines/*.machine "$app/machines/"

# The screen's pixels are a file the frame watcher reads as they change.
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -fbdir "$runtime" -noreset -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$runtime/display" ] && break; sleep 0.1; done
[ -s "$runtime/display" ] || { echo "win display check: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$runtime/display")
# A desktop colour no skin picture holds: neither black nor white nor grey
# (-noreset keeps it when the last client goes).
xsetroot -solid '#3a6ea5'
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
# Xvfb runs no window manager: Wine must manage nothing itself, or it waits
# 2 s for one whenever it shows or hides a window that is or was active.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# The tray: a strip in the top right corner of the screen.
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
  --transparent false --tint 0x404040 >"$runtime/trayer.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xwininfo -root -tree | grep -q '("panel" "trayer")' && break; sleep 0.1; done

failures=0
check() {  # check WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "ok   $1: $2"; else echo "FAIL $1: $2, expected $3"; failures=$((failures + 1)); fi
}
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
shot() { import -window root "$out/$1.png"; echo "     screenshot $out/$1.png"; }
field() { xwininfo -id "$1" | sed -n "s/^ *$2: *//p"; }
mapped() { field "$1" 'Map State'; }
# Windows appear and go as the program's messages are handled: a state is
# awaited rather than read at once.
await_state() {  # await_state WINDOW STATE: the state reached, or the last seen after 4 s
  local state
  for _ in $(seq 40); do state=$(mapped "$1"); [ "$state" = "$2" ] && break; sleep 0.1; done
  echo "$state"
}
# Wine takes a press and release in the same instant for no click at all.
press() {  # press WINDOW X Y [BUTTON] [WAIT]
  xdotool mousemove --window "$1" "$2" "$3" mousedown "${4:-1}" sleep 0.15 mouseup "${4:-1}"
  sleep "${5:-0.4}"
}
# The colour at a client point of the main window, from a screenshot.
pixel() { convert "$out/$1.png" -format "%[pixel:p{$((left + $2)),$((top_y + $3))}]" info:; }
# A client rectangle of the main window from a screenshot, as one checksum.
area() { convert "$out/$1.png" -crop "$4x$5+$((left + $2))+$((top_y + $3))" +repage -format '%#' info:; }
find_window() {  # find_window NAME: waits up to 10 s
  local found=""
  for _ in $(seq 100); do
    found=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$found" ] && break
    sleep 0.1
  done
  echo "$found"
}

# Every frame from before the start to the end of both layout switches.
watcher=$top/scripts/frame-watch.pl
"$watcher" watch "$runtime/Xvfb_screen0" "$out" "$runtime/frames.stop" 10 60 >"$runtime/frames.txt" &
watch_pid=$!
pids+=($watch_pid)
sleep 0.3
started=$(date +%s%N)
(cd "$app" && exec wine velocore-sim.exe --trace "$runtime/trace.txt" >"$runtime/app.log" 2>&1) &
app_pid=$!
pids+=($app_pid)
window=$(find_window 'Clock Frequency')
[ -n "$window" ] || { echo "win display check: no main window" >&2; cat "$runtime/app.log" >&2; exit 1; }
echo "     main window after $(( ($(date +%s%N) - started) / 1000000 )) ms"
sleep 1

left=$(field "$window" 'Absolute upper-left X'); top_y=$(field "$window" 'Absolute upper-left Y')
check "window size" "$(field "$window" Width)x$(field "$window" Height)" "526x216"
check "window centred" "$left,$top_y" "$(((screen_w - 526) / 2)),$(((screen_h - 216) / 2))"

shot 01-easy
desktop=$(pixel 01-easy -10 -10)
check "Easy: outside the outline shows the desktop" "$(pixel 01-easy 5 60)" "$desktop"
[ "$(pixel 01-easy 200 200)" != "$desktop" ] && echo "ok   Easy: the strip is drawn" || fail "Easy: the strip is missing"

# The shape the window shows is the face picture's, pixel for pixel, in both
# layouts (the pointer kept off the window).
shape() {  # shape LAYOUT PICTURE FACE_TOP
  xdotool mousemove 0 $((screen_h - 1)); sleep 0.3
  local result
  if result=$("$watcher" shape "$runtime/Xvfb_screen0" "$left" "$top_y" 526 216 "$top/resources/$2.bmp" "$3" \
      $((left - 10)) $((top_y - 10))); then
    echo "ok   $1 $result"
  else
    fail "$1 $result"
  fi
}
shape Easy 109 110
press "$window" 341 191 1 1.5    # Advanced Mode
shape Advance 136 0
press "$window" 346 187 1 1.2    # Easy Mode
touch "$runtime/frames.stop"; wait "$watch_pid" || true
sed 's/^/     /' "$runtime/frames.txt"
frames=$(tail -1 "$runtime/frames.txt")
distinct=$(awk '/^frames:/ { print $5 }' <<<"$frames")
[ "${distinct:-0}" -ge 3 ] && echo "ok   the start and both switches gave $distinct distinct frames" \
  || fail "the frame watcher saw ${distinct:-no} distinct frames"
check "frames with a grey box" "$(awk '/^frames:/ { print $7 }' <<<"$frames")" "0"
check "frames with a black window" "$(awk '/^frames:/ { print $9 }' <<<"$frames")" "0"

# A second copy ends at once with 1 and leaves the first one running.
second=0; (cd "$app" && timeout 30 wine velocore-sim.exe >/dev/null 2>&1) || second=$?
check "a second copy is refused" "$second" "1"

press "$window" 341 191 1 1.5    # Advanced Mode: the transition runs 0.8 s
shot 02-advance
[ "$(pixel 02-advance 200 10)" != "$desktop" ] && echo "ok   Advance: the full face is drawn" || fail "Advance face"
check "Advance: right of the outline shows the desktop" "$(pixel 02-advance 525 20)" "$desktop"

press "$window" 156 172          # up
shot 03-up
[ "$(area 02-advance 58 160 100 45)" != "$(area 03-up 58 160 100 45)" ] \
  && echo "ok   up changes the bus display" || fail "up left the bus display as it was"
press "$window" 257 187 1 4      # GO: two lamp sweeps, the write, two measurements
shot 04-go

press "$window" 468 168 1 1      # CPU info: measures, then shows the panel
shot 05-cpu-info-panel
panel=$(find_window "CPU Information")
if [ -n "$panel" ]; then
  check "processor panel shown" "$(mapped "$panel")" "IsViewable"
  check "processor panel size" "$(field "$panel" Width)x$(field "$panel" Height)" "400x200"
  press "$panel" 378 8           # its close button
  check "the close button hides the panel" "$(await_state "$panel" IsUnMapped)" "IsUnMapped"
else
  fail "no processor panel"
fi

# The icon: the window trayer docked (the one below trayer's own).
icon=$(xwininfo -root -tree | awk '/"trayer": \(\)/ { t = 1; next }
  t && /\(has no name\)/ { split($NF, a, "+"); split($(NF-1), s, "[x+]"); print a[2] + int(s[1] / 2), a[3] + int(s[2] / 2); exit }')
menu_window() {
  xwininfo -root -tree | awk '/\(has no name\): \("velocore-sim.exe" "velocore-sim.exe"\) +[0-9]+x[0-9]+\+/ {
    split($(NF-1), s, "[x+]"); if (s[1] > 40 && s[2] > 40) { print $1; exit } }'
}
# Grayed items take the highlight too, so Down walks every item but the
# separator: Easy Mode, Advance Mode, Show, Hide, Exit. Choosing each by its
# place checks the six items and their order.
tray_menu() {  # tray_menu SHOT KEYS...
  xdotool mousemove $icon mousedown 3 sleep 0.2 mouseup 3; sleep 0.8
  local menu; menu=$(menu_window)
  [ -n "$menu" ] && [ "$(mapped "$menu")" = IsViewable ] || { fail "the tray menu did not open"; return; }
  [ -n "$1" ] && shot "$1"
  xdotool key "${@:2}"; sleep 0.8
}
if [ -n "$icon" ]; then
  echo "ok   tray icon at $icon"
  tray_menu 06-tray-menu Down Return; sleep 1             # the 1st item: Easy Mode
  shot 07-easy-from-menu
  check "menu Easy Mode: outside the Easy outline shows the desktop" "$(pixel 07-easy-from-menu 200 10)" "$desktop"
  tray_menu "" Down Down Return; sleep 1                  # the 2nd: Advance Mode
  shot 08-advance-from-menu
  [ "$(pixel 08-advance-from-menu 200 10)" != "$desktop" ] && echo "ok   menu Advance Mode: the full face is back" \
    || fail "menu Advance Mode left the Easy face"
  tray_menu "" Down Down Down Down Return                 # the 4th: Hide
  check "menu Hide hides the window" "$(await_state "$window" IsUnMapped)" "IsUnMapped"
  shot 09-hidden
  tray_menu 10-tray-menu-hidden Down Down Down Return     # the 3rd: Show
  check "menu Show shows the window" "$(await_state "$window" IsViewable)" "IsViewable"
  shot 11-shown
  tray_menu "" Up Return                                  # the last: Exit
else
  fail "no tray icon"
  press "$window" 437 138        # POWER hides; no way to Exit without the tray
fi
code=running
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null || { code=0; wait "$app_pid" || code=$?; }
check "Exit ends the program" "$code" "0"
shot 12-after-exit

# The bus clock the simulated chip took against the machine's boot clock.
boot=$(sed -n 's/^board.bootBusMHz *= *//p' "$top/machines/default.machine")
taken=$(sed -n 's/^chip .* select 0x[0-9A-F]* accepted bus=\([0-9.]*\)MHz$/\1/p' "$runtime/trace.txt" 2>/dev/null | tail -1)
if [ -n "$taken" ] && awk -v a="$taken" -v b="$boot" 'BEGIN { exit !(a > b) }'; then
  echo "ok   GO after up: the chip runs the bus at $taken MHz (boot $boot MHz)"
else
  fail "GO after up: no faster bus clock in the trace (${taken:-none}, boot $boot)"
fi

# --- the start-up record: every orderly end within the minute clears it ---
# save.dat asks for the optimal entry at every start (autoApply 1, source 2).
printf '\001\000\000\000\002\000\000\000' >"$app/save.dat"
# Starts the program, sees the automatic application recorded and no "did
# not last" message, then ends it as END says: close (Alt+F4, WM_CLOSE),
# logout (the session's end, WM_QUERYENDSESSION and WM_ENDSESSION) or exit
# (the tray menu's Exit). The record must be gone and the exit code 0.
end_within_the_minute() {  # end_within_the_minute END
  # A record the last run left fails that run; this one starts without it.
  rm -f "$app/pending.dat"
  (cd "$app" && exec wine velocore-sim.exe >"$runtime/app-$1.log" 2>&1) &
  local pid=$! code=running
  pids+=($pid)
  window=$(find_window 'Clock Frequency')
  [ -n "$window" ] || { fail "$1: no main window"; return; }
  for _ in $(seq 50); do [ -f "$app/pending.dat" ] && break; sleep 0.1; done
  [ -f "$app/pending.dat" ] && echo "ok   $1: the start applied the saved choice (pending.dat recorded)" \
    || fail "$1: no automatic application at the start"
  sleep 0.5
  [ -z "$(xdotool search --name '^Message$' 2>/dev/null)" ] && echo "ok   $1: no message at the start" \
    || fail "$1: a message at the start"
  case $1 in
    close) xdotool mousemove --window "$window" 240 150 click 1 sleep 0.3 key alt+F4 ;;
    logout) wine wineboot --end-session >/dev/null 2>&1 ;;
    exit)
      icon=$(xwininfo -root -tree | awk '/"trayer": \(\)/ { t = 1; next }
        t && /\(has no name\)/ { split($NF, a, "+"); split($(NF-1), s, "[x+]"); print a[2] + int(s[1] / 2), a[3] + int(s[2] / 2); exit }')
      [ -n "$icon" ] && tray_menu "" Up Return || fail "exit: no tray icon" ;;
  esac
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null || { code=0; wait "$pid" || code=$?; }
  check "$1 within the minute ends the program" "$code" "0"
  [ ! -e "$app/pending.dat" ] && echo "ok   $1 leaves no start-up record" || fail "$1 left pending.dat"
  if [ "$code" = running ]; then kill "$pid" 2>/dev/null || true; wineserver -k 2>/dev/null || true; fi
}
# Each start after an orderly end applies again: the one after Exit too.
end_within_the_minute close
end_within_the_minute logout
end_within_the_minute exit
end_within_the_minute exit
end_within_the_minute exit

if [ "$failures" -ne 0 ]; then echo "win display check: $failures failure(s)"; exit 1; fi
echo "win display check passed; screenshots in $out"
