#!/usr/bin/env bash
# Builds the Debian package from a configured build, runs lintian on it,
# unpacks it into a throw-away root (the machine itself is never changed) and
# runs the installed programs and the desktop checks there. For i386 (the
# build scripts/build.sh i386 made) the package is made and its programs run
# in the i386 root (scripts/i386-root.sh); lintian, dpkg and the file checks
# run here.
# Usage: scripts/package-check.sh [BUILD_DIR] [amd64|i386]   (default build/dev amd64)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/dev}
arch=${2:-amd64}
case "$arch" in
  amd64) in_arch=(env) ;;
  # The root sees the source tree and /tmp (where the package unpacks) at
  # the same paths.
  i386) in_arch=("$top/scripts/i386-root.sh" run env) ;;
  *) echo "package check: unknown architecture $arch" >&2; exit 2 ;;
esac
for tool in cpack lintian dpkg dpkg-deb desktop-file-validate appstreamcli man identify; do
  command -v "$tool" >/dev/null || { echo "package check: $tool is missing" >&2; exit 2; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package check: $*" >&2; exit 1; }

"${in_arch[@]}" cmake --build "$build" >/dev/null
"${in_arch[@]}" cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/velocore3_*_"$arch".deb) || fail "cpack made no velocore3_*_$arch.deb"
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"
[ "$(dpkg-deb --field "$deb" Architecture)" = "$arch" ] || fail "the package is not for $arch"
dpkg-deb --field "$deb" Depends

# lintian: errors fail, warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

root=$work/root
dpkg-deb -x "$deb" "$root"
for script in postinst prerm postrm; do
  dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - "./$script" >"$work/$script"
  sh -n "$work/$script" || fail "$script is no valid shell script"
done
# The maintainer scripts against stand-ins for every command they call
# (PATH holds only those), with the group kept in a file: the first install
# creates the group and enables the socket, a second configure leaves the
# group, removal disables the socket, purge removes the group.
stubs=$work/stubs
mkdir -p "$stubs"
for cmd in groupadd groupdel deb-systemd-helper deb-systemd-invoke systemctl; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$cmd" "$work/calls" >"$stubs/$cmd"
done
printf '#!/bin/sh\n[ "$1 $2" = "group velocore" ] && [ -e "%s" ]\n' "$work/group" >"$stubs/getent"
printf ': >"%s"\n' "$work/group" >>"$stubs/groupadd"
printf '/bin/rm -f "%s"\n' "$work/group" >>"$stubs/groupdel"
chmod +x "$stubs"/*
run_script() { : >"$work/calls"; PATH=$stubs /bin/sh "$work/$1" "$2" || fail "$1 $2 failed"; }
run_script postinst configure
grep -qx 'groupadd --system velocore' "$work/calls" || fail "postinst did not create the group"
grep -qx 'deb-systemd-helper enable velocore-driverd.socket' "$work/calls" || fail "postinst did not enable the socket"
run_script postinst configure
! grep -q groupadd "$work/calls" || fail "postinst created the group a second time"
run_script prerm remove
grep -qx 'deb-systemd-helper disable velocore-driverd.socket' "$work/calls" || fail "prerm did not disable the socket"
run_script postrm remove
[ -e "$work/group" ] || fail "postrm remove removed the group"
run_script postrm purge
grep -qx 'groupdel velocore' "$work/calls" || fail "postrm purge did not remove the group"

expected=(usr/bin/velocore usr/bin/velocore-sim usr/bin/vcctl
          usr/libexec/velocore3/velocore-driverd
          usr/share/velocore3/MBInfo.dat usr/share/velocore3/CGInfo.dat
          usr/share/velocore3/machines/default.machine
          usr/lib/systemd/system/velocore-driverd.socket usr/lib/systemd/system/velocore-driverd.service
          usr/share/applications/org.velocore3.velocore.desktop
          usr/share/metainfo/org.velocore3.velocore.metainfo.xml
          usr/share/man/man1/velocore.1.gz usr/share/man/man1/vcctl.1.gz
          usr/share/man/man8/velocore-driverd.8.gz
          usr/share/doc/velocore3/copyright usr/share/doc/velocore3/changelog.gz)
for path in "${expected[@]}"; do
  [ -e "$root/$path" ] || fail "the package lacks /$path"
done
ls "$root"/usr/share/velocore3/sources/*.vcdata >/dev/null || fail "the package lacks the data sources"
grep -qx 'ExecStart=/usr/libexec/velocore3/velocore-driverd --group velocore' \
  "$root/usr/lib/systemd/system/velocore-driverd.service" || fail "the service does not start the installed helper"

# The installed console tool on the installed data: no data file lies beside
# it, so a detection that succeeds read /usr/share/velocore3.
home=$work/home
mkdir -p "$home"
"${in_arch[@]}" HOME="$home" "$root/usr/bin/vcctl" --machine default detect apply >"$work/vcctl.out" 2>&1 ||
  { cat "$work/vcctl.out"; fail "installed vcctl --machine default detect apply failed"; }
grep -q '^verify.ok: yes$' "$work/vcctl.out" || { cat "$work/vcctl.out"; fail "installed vcctl did not apply"; }
echo "installed vcctl: detect apply ok ($(grep '^board.biosId' "$work/vcctl.out" || true))"

# A real install and purge with dpkg into a throw-away root with a status
# database and /etc of its own. dpkg runs the maintainer scripts outside a
# chroot with DPKG_ROOT set, which they honour, so nothing outside that root
# changes. In between, an ordinary user runs the installed vcctl.
inst=$work/inst
mkdir -p "$inst"/var/lib/dpkg/{info,updates,triggers} "$inst/etc"
: >"$inst/var/lib/dpkg/status"
printf 'root:x:0:\n' >"$inst/etc/group"
printf 'root:*::\n' >"$inst/etc/gshadow"
printf 'root:x:0:0:root:/root:/bin/sh\n' >"$inst/etc/passwd"
printf 'root:*:19000:0:99999:7:::\n' >"$inst/etc/shadow"
(cd "$inst" && find . | sort) >"$work/before"
# The throw-away root's dpkg knows only the machine's architecture.
force_arch=()
[ "$arch" = "$(dpkg --print-architecture)" ] || force_arch=(--force-architecture)
dpkg_in() {
  dpkg --root="$inst" --log="$work/dpkg.log" --force-script-chrootless --force-depends --force-not-root \
    ${force_arch[@]+"${force_arch[@]}"} "$@"
}
dpkg_in -i "$deb" >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out"; fail "dpkg -i into a throw-away root failed"; }
grep -q '^velocore:' "$inst/etc/group" || fail "postinst did not create the group velocore"
[ -L "$inst/etc/systemd/system/sockets.target.wants/velocore-driverd.socket" ] ||
  fail "postinst did not enable velocore-driverd.socket"
echo "dpkg -i: installed, group velocore created, socket enabled (in the throw-away root)"

# As an ordinary user (uid 65534 when this runs as root), two runs with two
# homes: each keeps its own sysinfo.dat.
chmod 755 "$work"
run_as_user() {  # run_as_user HOME ARGS...
  local h=$1; shift
  if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    mkdir -p "$h" && chown 65534:65534 "$h"
    "${in_arch[@]}" setpriv --reuid=65534 --regid=65534 --clear-groups \
      env -i HOME="$h" PATH=/usr/bin:/bin "$inst/usr/bin/vcctl" "$@"
  else
    mkdir -p "$h" && "${in_arch[@]}" -i HOME="$h" PATH=/usr/bin:/bin "$inst/usr/bin/vcctl" "$@"
  fi
}
for who in alice bob; do
  run_as_user "$work/$who" --machine default detect apply status >"$work/$who.out" 2>&1 ||
    { cat "$work/$who.out"; fail "installed vcctl as an ordinary user ($who) failed"; }
  grep -q '^verify.ok: yes$' "$work/$who.out" || { cat "$work/$who.out"; fail "installed vcctl ($who) did not apply"; }
  grep -qx "folders.state: $work/$who/.local/share/VelocoreIII" "$work/$who.out" ||
    { grep '^folders' "$work/$who.out"; fail "installed vcctl ($who) keeps its state elsewhere"; }
done
run_as_user "$work/alice" --machine default detect next save >/dev/null 2>&1 || fail "vcctl save (alice) failed"
[ -e "$work/alice/.local/share/VelocoreIII/sysinfo.dat" ] && [ ! -e "$work/bob/.local/share/VelocoreIII/sysinfo.dat" ] ||
  fail "the two users do not keep separate sysinfo.dat"
echo "installed vcctl as uid $( [ "$(id -u)" = 0 ] && echo 65534 || id -u ): detect apply ok; alice and bob keep separate state"

dpkg_in -P velocore3 >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out"; fail "dpkg -P failed"; }
! grep -q '^velocore:' "$inst/etc/group" || fail "postrm purge left the group velocore"
(cd "$inst" && find . | sort) >"$work/after"
# What may stay: dpkg's records, the shadow tools' backups, and the empty
# systemd folders deb-systemd-helper made (every systemd system has them).
leftover=$(comm -13 "$work/before" "$work/after" | grep -v '^\./var/lib/dpkg/' |
  grep -v '^\./etc/\(group\|gshadow\)-$' || true)
for dir in ./etc/systemd/system ./etc/systemd ./var/lib/systemd; do
  if [ -d "$inst/$dir" ] && [ -z "$(ls -A "$inst/$dir")" ]; then
    leftover=$(printf '%s\n' "$leftover" | grep -vx "$dir" || true)
    rmdir "$inst/$dir"
  fi
done
[ -z "$leftover" ] || { echo "$leftover"; fail "dpkg -P left files behind"; }
echo "dpkg -P: removed without leftovers"

# The desktop files and the manual pages.
desktop-file-validate "$root/usr/share/applications/org.velocore3.velocore.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.velocore3.velocore.metainfo.xml" ||
  fail "appstreamcli validate"
for page in "$root"/usr/share/man/man*/*.gz; do
  # .so links resolve against the unpacked tree.
  (cd "$root/usr/share/man" && LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" >/dev/null) ||
    fail "man cannot render $(basename "$page")"
done
for size in 16 32 48 64 128; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/velocore.png
  [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x${size}" ] || fail "icon $icon is no ${size}x${size} PNG"
done

# The installed desktop program to its first frame on a virtual display.
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  mkdir -m 700 "$work/runtime"
  timeout 30 "${in_arch[@]}" DISPLAY=":$(head -1 "$work/display")" HOME="$home" XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$home/.config" "$root/usr/bin/velocore-sim" --quit-after-first-frame >"$work/sim.out" 2>&1 ||
    { cat "$work/sim.out"; fail "installed velocore-sim --quit-after-first-frame failed"; }
  grep -q '^first frame: ' "$work/sim.out" || { cat "$work/sim.out"; fail "installed velocore-sim painted no frame"; }
  echo "installed velocore-sim: $(grep '^first frame: ' "$work/sim.out")"
else
  echo "package check: no Xvfb, the desktop program was not started"
fi
echo "package check passed"
