#!/usr/bin/env bash
# Times velocore-sim on the default machine: start-up to the first painted
# frame of the main window (median of several runs), and the processor time
# the program uses while it sits idle (it must be none).
# Usage: scripts/startup-timing.sh [BIN_DIR] [RUNS] [IDLE_SECONDS]
# Runs on a virtual X display when Xvfb is there, else on Qt's offscreen platform.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/dev/bin}
runs=${2:-7}
idle_seconds=${3:-5}
runtime=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap cleanup EXIT

if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$runtime/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -1 "$runtime/display")
  unset QT_QPA_PLATFORM
  platform="Xvfb $DISPLAY"
else
  export QT_QPA_PLATFORM=offscreen
  platform="offscreen"
fi
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

inside=() outside=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  line=$("$bin/velocore-sim" --quit-after-first-frame 2>/dev/null | grep '^first frame:')
  end=$(date +%s%N)
  inside+=("$(echo "$line" | awk '{ print $3 }')")
  outside+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')")
done
echo "platform: $platform, default machine, $runs runs"
echo "start-up to first painted frame (from main): median $(printf '%s\n' "${inside[@]}" | median) ms  [${inside[*]}]"
echo "launch to first painted frame (whole process): median $(printf '%s\n' "${outside[@]}" | median) ms  [${outside[*]}]"

"$bin/velocore-sim" >/dev/null 2>&1 &
app=$!
pids+=($app)
sleep 2   # start-up, detection and the first paint are over by then
ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
before=$(ticks)
sleep "$idle_seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
used=$((after - before))
echo "idle: $used clock ticks (1/$hz s) of processor time in ${idle_seconds} s ($(awk -v u="$used" -v h="$hz" -v s="$idle_seconds" 'BEGIN { printf "%.2f", 100 * u / h / s }')% of one processor)"
[ "$used" -eq 0 ] || { echo "startup timing: the idle program used processor time" >&2; exit 1; }
