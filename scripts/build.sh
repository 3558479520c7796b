#!/usr/bin/env bash
# Configures and builds one flavour: dev (default), asan or fuzz.
# Usage: scripts/build.sh [dev|asan|fuzz]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-dev}
case "$flavour" in
  # The package is built from dev (scripts/package-check.sh): Debian's prefix.
  dev)  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVC_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DVC_WERROR=ON -DVC_SANITIZE=ON -DVC_BENCH=OFF) ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=Debug -DVC_FUZZ=ON -DVC_TESTS=OFF -DVC_BENCH=OFF -DVC_GUI=OFF
              -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S "$top" -B "$top/build/$flavour" -G Ninja "${args[@]}" >/dev/null
cmake --build "$top/build/$flavour"
