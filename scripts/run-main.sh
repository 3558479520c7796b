#!/usr/bin/env bash
# Sets up, builds and runs the main job on the embedded default simulated mainboard.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" dev
exec "$top/build/dev/bin/vcctl" --machine default detect "$@"
