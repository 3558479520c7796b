#!/usr/bin/env bash
# Installs what building and running needs, builds the two programs and
# runs the main job: the desktop program velocore-sim on
# the embedded default simulated mainboard. Without a display it runs the
# console detection instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" build
"$top/scripts/build.sh" main
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$top/build/dev/bin/velocore-sim" "$@"
fi
echo "run-main: no display; running vcctl --machine default detect instead" >&2
exec "$top/build/dev/bin/vcctl" --machine default detect
