#!/usr/bin/env bash
# Installs what is missing on Debian 12 (idempotent), without recommended
# packages, in two sets:
#   scripts/setup.sh build   what building and running the programs needs
#                            (scripts/run-main.sh)
#   scripts/setup.sh [test]  that and what the tests add (scripts/test.sh)
set -euo pipefail
set_name=${1:-test}

build_packages=(cmake ninja-build g++ qt6-base-dev)
# The tests: GoogleTest and Google Benchmark, clang for the fuzz targets,
# Xvfb and its tools for the display checks, QEMU and busybox for the VM
# check, mmdebstrap and the i686 cross compiler for the i386 checks, the
# package checks, and the Windows programs: MinGW-w64 with the win32 thread
# model, GoogleTest's sources to build with it, and Wine with
# its 32-bit half (i386) to run them.
test_packages=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
               xvfb x11-utils x11-xserver-utils xdotool imagemagick trayer perl
               qemu-system-x86 busybox-static xz-utils
               # The i386 build's Debian 12 root (scripts/i386-root.sh) and
               # the VM check's static i386 tools.
               mmdebstrap g++-i686-linux-gnu
               dpkg-dev file lintian desktop-file-utils appstream man-db
               g++-mingw-w64-i686-win32 googletest wine wine32:i386
               # The NT port driver: the C cross compiler, the DDK headers and
               # kernel import libraries, python3 for scripts/sys-check.py.
               gcc-mingw-w64-i686-win32 mingw-w64-i686-dev python3
               # The NT port driver in ReactOS (scripts/reactos-check.sh): the
               # payload disk's partition table, FAT file system and files.
               fdisk dosfstools mtools
               # What Wine's display needs of its recommends: its fonts and
               # the X extensions its driver loads.
               fonts-wine libxrender1:i386 libxrandr2:i386 libxinerama1:i386 libxcursor1:i386
               libxi6:i386 libxfixes3:i386 libxcomposite1:i386 libxxf86vm1:i386)

case "$set_name" in
  build) packages=("${build_packages[@]}") ;;
  test)  packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [build|test]" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
update=no
if [ "$set_name" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  update=yes
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] && update=yes
if [ $update = yes ]; then
  $sudo apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
