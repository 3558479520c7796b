#!/usr/bin/env bash
# Installs what building and running the programs needs, builds the one
# the main job runs and runs it: the desktop program velocore-sim on the
# embedded default simulated mainboard, or without a display the console
# detection instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$top/scripts/build.sh" main velocore-sim
  exec "$top/build/main/bin/velocore-sim" "$@"
fi
"$top/scripts/build.sh" main vcctl
echo "run-main: no display; running vcctl --machine default detect instead" >&2
exec "$top/build/main/bin/vcctl" --machine default detect
