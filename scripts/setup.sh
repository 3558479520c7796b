#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (idempotent).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev
          xvfb x11-utils x11-xserver-utils xdotool imagemagick trayer
          qemu-system-x86 busybox-static xz-utils
          dpkg-dev file lintian desktop-file-utils appstream man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The Windows programs: MinGW-w64 with the win32 thread model, GoogleTest's
# sources to build with it, and Wine with its 32-bit half (i386) to run them.
# The NT port driver: the C compiler and the DDK headers and kernel import
# libraries (mingw-w64-i686-dev), python3 for scripts/sys-check.py.
windows_packages=(g++-mingw-w64-i686-win32 googletest wine wine32:i386
                  gcc-mingw-w64-i686-win32 mingw-w64-i686-dev python3)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
fi
missing=()
for p in "${windows_packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
