#!/usr/bin/env bash
# Configures and builds one flavour: dev (default), asan, fuzz, win32
# (the Windows programs and their tests, cross-built with MinGW-w64), i386
# (dev's programs and tests, natively in a Debian 12 i386 root that
# scripts/i386-root.sh keeps under build/i386-root), or
# main: only the programs named (default velocore-sim and vcctl), without
# tests, benchmarks or debug information, what scripts/run-main.sh runs
# (what scripts/setup.sh build installs is enough for it).
# Usage: scripts/build.sh [dev|asan|fuzz|win32|i386] | scripts/build.sh main [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-dev}
[ $# -gt 0 ] && shift
targets=()
[ $# -gt 0 ] && [ "$flavour" != main ] && { echo "only main takes targets" >&2; exit 2; }
case "$flavour" in
  # The package is built from dev (scripts/package-check.sh): Debian's prefix.
  dev)  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVC_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr) ;;
  # Debug information would cost the main job's build about a third.
  main) args=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVC_WERROR=ON
              -DVC_TESTS=OFF -DVC_BENCH=OFF)
        targets=(--target "${@:-velocore-sim}")
        [ $# -gt 0 ] || targets+=(vcctl) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DVC_WERROR=ON -DVC_SANITIZE=ON -DVC_BENCH=OFF) ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=Debug -DVC_FUZZ=ON -DVC_TESTS=OFF -DVC_BENCH=OFF -DVC_GUI=OFF
              -DCMAKE_CXX_COMPILER=clang++) ;;
  # The toolchain file turns the Qt programs and the benchmarks off.
  win32) args=(-DCMAKE_BUILD_TYPE=Release -DVC_WERROR=ON
               -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686-w64-mingw32.cmake") ;;
  # As dev, without debug information (a third of the build's time) and
  # without the benchmarks; the package is built from it too.
  i386) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
              -DVC_WERROR=ON -DVC_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
if [ "$flavour" = i386 ]; then
  "$top/scripts/i386-root.sh" ensure
  in_root=("$top/scripts/i386-root.sh" run)
  "${in_root[@]}" cmake -S "$top" -B "$top/build/i386" -G Ninja "${args[@]}" >/dev/null
  "${in_root[@]}" cmake --build "$top/build/i386"
  exit 0
fi
# The cross build has no cache of its own to start from; ccache keeps the
# next one short.
if [ "$flavour" = win32 ] && command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$top/build/$flavour" -G Ninja "${args[@]}" >/dev/null
cmake --build "$top/build/$flavour" ${targets[@]+"${targets[@]}"}
