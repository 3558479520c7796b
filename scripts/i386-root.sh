#!/usr/bin/env bash
# A Debian 12 i386 root under build/i386-root, for building and testing the
# programs as the 32-bit machines they are for run them.
#   scripts/i386-root.sh ensure      makes the root when it is missing or its
#                                    package list changed (a stamp holds the
#                                    list's hash); otherwise does nothing
#   scripts/i386-root.sh run CMD...  runs CMD inside it as the calling user,
#                                    with the source tree and /tmp at the
#                                    same paths as outside
# Needs mmdebstrap; as root it runs directly, otherwise through sudo (as the
# other scripts do). The mounts live in a mount namespace of their own and
# go when the command ends.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${VC_I386_ROOT:-$top/build/i386-root}
suite=bookworm
# What the dev build and its tests need, nothing recommended: the compiler,
# CMake and Ninja, Qt 6 (its platform plugins come with libqt6gui6), and
# GoogleTest; dpkg-dev and file for cpack's package (dpkg-shlibdeps), the
# fonts the skin generator draws with. The
# benchmarks are left out of the i386 build.
packages=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev dpkg-dev file
          fonts-dejavu-core fonts-dejavu-extra)
mirrors=("deb http://deb.debian.org/debian $suite main"
         "deb http://deb.debian.org/debian $suite-updates main"
         "deb http://deb.debian.org/debian-security $suite-security main")

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
stamp_text() { printf '%s\n' "$suite" "${packages[@]}" "${mirrors[@]}" | sha256sum | cut -d' ' -f1; }

ensure() {
  local want
  want=$(stamp_text)
  if [ -x "$root/usr/bin/g++" ] && [ "$(cat "$root.stamp" 2>/dev/null)" = "$want" ]; then
    return 0
  fi
  command -v mmdebstrap >/dev/null || { echo "i386 root: mmdebstrap is missing (scripts/setup.sh)" >&2; exit 2; }
  echo "i386 root: making $root (Debian $suite i386: ${packages[*]})"
  # One file system: a root left mounted by an interrupted run keeps its mounts.
  $sudo rm -rf --one-file-system "$root" "$root.stamp"
  mkdir -p "$(dirname "$root")"
  local include hooks=()
  include=$(IFS=,; echo "${packages[*]}")
  # dpkg without its syncs (the root is thrown away when anything fails).
  [ -d /usr/share/mmdebstrap/hooks/eatmydata ] && hooks=(--hook-directory=/usr/share/mmdebstrap/hooks/eatmydata)
  # Documentation and locales are of no use to a build; dropping them saves
  # a third of the root.
  if ! $sudo mmdebstrap --quiet --arch=i386 --variant=apt --include="$include" ${hooks[@]+"${hooks[@]}"} \
        --aptopt='APT::Install-Recommends "false"' \
        --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/doc/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' \
        "$suite" "$root" "${mirrors[@]}"; then
    $sudo rm -rf --one-file-system "$root"
    echo "i386 root: mmdebstrap failed" >&2
    exit 1
  fi
  echo "$want" >"$root.stamp"
}

run() {
  [ -x "$root/usr/bin/g++" ] || { echo "i386 root: missing, run scripts/i386-root.sh ensure" >&2; exit 2; }
  local home=$top/build/i386-home
  mkdir -p "$home"
  # The commands run as the calling user; HOME is a folder of the build's.
  $sudo unshare --mount --pid --fork --kill-child -- /bin/sh -eu -c '
    root=$1 top=$2 user=$3 home=$4; shift 4
    mount --make-rprivate /
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --bind /tmp "$root/tmp"
    mkdir -p "$root$top"
    mount --bind "$top" "$root$top"
    exec chroot --userspec="$user" "$root" /usr/bin/env -i HOME="$home" LANG=C.UTF-8 \
      PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb "$@"
  ' sh "$root" "$top" "$(id -u):$(id -g)" "$home" \
    ${CMAKE_BUILD_PARALLEL_LEVEL:+CMAKE_BUILD_PARALLEL_LEVEL=$CMAKE_BUILD_PARALLEL_LEVEL} \
    ${CTEST_PARALLEL_LEVEL:+CTEST_PARALLEL_LEVEL=$CTEST_PARALLEL_LEVEL} \
    /bin/sh -c 'cd "$0" 2>/dev/null || cd /; exec "$@"' "$PWD" "$@"
}

case "${1:-}" in
  ensure) ensure ;;
  run) shift; [ $# -gt 0 ] || { echo "usage: scripts/i386-root.sh run CMD..." >&2; exit 2; }; run "$@" ;;
  *) echo "usage: scripts/i386-root.sh ensure | run CMD..." >&2; exit 2 ;;
esac
