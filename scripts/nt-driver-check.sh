#!/usr/bin/env bash
# The NT port driver (after scripts/build.sh win32): built a second time in
# another folder without ccache, byte for byte the same; then under Wine, in
# a fresh prefix, installed and driven by vcctl.exe as NT 4 and 2000:
#   vcctl.exe driver status | install | start | stop | remove, with the
#   messages for a missing .sys and a running copy of another version;
#   detect and probe through the driver (Wine's stubbed HAL: no BIOS window,
#   so detection ends "ScanBiosInfo fail", exit 3), counted in the line the
#   driver logs at unload (DbgPrint, WINEDEBUG=warn+debugstr);
#   driver-requests.exe: each refusal Wine lets the handler reach, and two
#   data addresses that make the guarded copy fault, with their error codes;
#   open-descriptor-check.exe: the descriptor opens are checked against;
#   no service, key or file left behind.
# Nothing Wine answers about hardware is evidence of anything: its HAL port
# and PCI calls and MmMapIoSpace are stubs, rdmsr faults, and it reads the
# data address in its driver host's memory, not the caller's.
# Usage: scripts/nt-driver-check.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/win32}" && pwd)
sys=$build/bin/gpddev.sys
expected=$top/tests/driver/nt/expected-wine.txt

fail() {
  echo "nt-driver-check: $*" >&2
  exit 1
}
for f in "$sys" "$build/bin/vcctl.exe" "$build/bin/driver-requests.exe" "$build/bin/open-descriptor-check.exe"; do
  [ -f "$f" ] || fail "$f is not built (scripts/build.sh win32)"
done

# --- the same bytes from a second build ----------------------------------------
again=$build/driver-again
# (scripts/build.sh win32's configuration, without the tests)
cmake -S "$top" -B "$again" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_WERROR=ON -DVC_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686-w64-mingw32.cmake" > "$build/driver-again.log" 2>&1 ||
  fail "the second configuration failed (see $build/driver-again.log)"
CCACHE_DISABLE=1 cmake --build "$again" --target gpddev >> "$build/driver-again.log" 2>&1 ||
  fail "the second build failed (see $build/driver-again.log)"
cmp "$sys" "$again/bin/gpddev.sys" || fail "two builds of gpddev.sys differ"
echo "gpddev.sys: two builds give the same $(stat -c %s "$sys") bytes"

# --- under Wine ------------------------------------------------------------------
export WINEPREFIX=$build/nt-driver-prefix
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
stop_wineserver() { wineserver -k 2>/dev/null || true; }
trap stop_wineserver EXIT
rm -rf "$WINEPREFIX"
wineboot -i < /dev/null > "$build/nt-driver-wineboot.log" 2>&1 || fail "wineboot failed"
wineserver -w

# Wine passes port I/O to this machine's hardware only where its VDM key
# lists ports: there must be none, before and after.
no_port_key() {
  ! grep -qi 'Wine\\\\VDM' "$WINEPREFIX"/*.reg &&
    ! wine reg query 'HKCU\Software\Wine\VDM' < /dev/null > /dev/null 2>&1 &&
    ! wine reg query 'HKLM\Software\Wine\VDM' < /dev/null > /dev/null 2>&1
}
no_port_key || fail "the prefix has a Software\\Wine\\VDM key: refusing to run"

vc=$WINEPREFIX/drive_c/vc
mkdir -p "$vc" "$WINEPREFIX/drive_c/nosys"
cp "$build/bin/vcctl.exe" "$sys" "$build/bin/driver-requests.exe" "$build/bin/open-descriptor-check.exe" \
  "$top"/data/*.dat "$vc/"
cp "$build/bin/vcctl.exe" "$WINEPREFIX/drive_c/nosys/"
drivers_dir=$WINEPREFIX/drive_c/windows/system32/drivers
service_key='HKLM\System\CurrentControlSet\Services\GpdDev'
work=$build/nt-driver-check
rm -rf "$work" && mkdir -p "$work"
log=$work/driver.log

# The session's first process starts services.exe, which starts the
# driver's winedevice.exe: both write the driver's DbgPrint lines to the
# stderr they inherit, the log.
wineserver -w
WINEDEBUG=warn+debugstr wine cmd /c exit < /dev/null > /dev/null 2>> "$log"

# run NAME FOLDER ARGS...: a program in its folder; output in $work/NAME.out,
# the exit status in $work/NAME.rc.
run() {
  local name=$1 folder=$2 status=0
  shift 2
  (cd "$folder" && wine "$@" < /dev/null > "$work/$name.raw" 2>&1) || status=$?
  tr -d '\r' < "$work/$name.raw" > "$work/$name.out"
  echo "$status" > "$work/$name.rc"
}
expect() {  # NAME EXIT TEXT: the run ended with EXIT and printed the line TEXT
  local rc
  rc=$(cat "$work/$1.rc")
  [ "$rc" -eq "$2" ] || fail "$1: exit $rc, not $2: $(cat "$work/$1.out")"
  grep -qF -- "$3" "$work/$1.out" || fail "$1 does not say '$3': $(cat "$work/$1.out")"
}
# The log is written by another process: give a line up to 20 s.
logged() {
  for _ in $(seq 1 200); do grep -qF -- "$1" "$log" && return 0; sleep 0.1; done
  fail "the driver's log lacks '$1' (see $log)"
}
# The descriptor the driver checks opens against, read back by Wine's own
# security calls (Wine passes the driver no opener to check).
run descriptor "$vc" open-descriptor-check.exe
expect descriptor 0 "0 failed"
echo "open-descriptor-check.exe: $(grep -c '^ok' "$work/descriptor.out") checks of the open descriptor passed"

# As Windows 98 there is no service manager to load a kernel driver.
wine reg add 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /v Version /d win98 /f < /dev/null > /dev/null 2>&1
run install-98 "$vc" vcctl.exe driver install
expect install-98 1 "the port driver is for Windows NT 4, 2000 and XP"
wine reg delete 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /f < /dev/null > /dev/null 2>&1

run status-before "$vc" vcctl.exe driver status
expect status-before 0 "driver.service: not installed"
run install-nosys "$WINEPREFIX/drive_c/nosys" vcctl.exe driver install
expect install-nosys 1 "gpddev.sys is missing: the driver must lie beside vcctl.exe"
run install "$vc" vcctl.exe driver install
expect install 0 "driver: installed as service GpdDev (\\SystemRoot\\system32\\drivers\\gpddev.sys), started at boot"
wine reg query "$service_key" /v Start < /dev/null 2>/dev/null | tr -d '\r' | grep -q 'REG_DWORD *0x2$' ||
  fail "the service does not start at boot (Start is not 2)"
cmp -s "$sys" "$drivers_dir/gpddev.sys" || fail "install did not copy gpddev.sys to system32\\drivers"
run install-again "$vc" vcctl.exe driver install
expect install-again 0 "driver: already installed, the same version"
run start "$vc" vcctl.exe driver start
expect start 0 "driver: started"
logged "GpdDev: loaded (version"
echo "vcctl.exe driver install, start: the service loads gpddev.sys (refused as 98; a missing .sys and a second install told apart)"

# Another version beside vcctl.exe while this one runs.
other=$WINEPREFIX/drive_c/other
mkdir -p "$other" && cp "$build/bin/vcctl.exe" "$sys" "$other/"
printf '\x01' | dd of="$other/gpddev.sys" bs=1 seek=64 conv=notrunc status=none
run install-other "$other" vcctl.exe driver install
expect install-other 1 "a copy of another version is running"
run start-other "$other" vcctl.exe driver start
expect start-other 1 "a copy of another version is running"
run status-running "$vc" vcctl.exe driver status
expect status-running 0 "driver.state: running"
for line in "driver.file: this version" "driver.device: opens"; do
  grep -qxF "$line" "$work/status-running.out" || fail "status does not say '$line': $(cat "$work/status-running.out")"
done
echo "vcctl.exe driver install/start with another version running: refused, exit 1"

# The program as NT 4 and as 2000, through the driver. The driver logs only
# refusals and faults; what it served it counts, and says at unload.
for version in nt40 win2k; do
  wine reg add 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /v Version /d $version /f < /dev/null > /dev/null 2>&1
  run detect-$version "$vc" vcctl.exe --dir 'C:\vc' detect
  expect detect-$version 3 "Message: ScanBiosInfo fail"
  run probe-$version "$vc" vcctl.exe --dir 'C:\vc' probe
  expect probe-$version 0 "probe.biosMatch: none"
  echo "vcctl.exe detect and probe as $version: through the driver (detect: ScanBiosInfo fail, exit 3; probe: exit 0)"
done
wine reg delete 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /f < /dev/null > /dev/null 2>&1

# Who may open: Wine hands the create no security context, so the check
# refuses (and Wine, unlike NT, opens the handle anyway).
logged "GpdDev: open refused: c0000022"

# Refusals and the faulting data addresses.
run requests "$vc" driver-requests.exe
diff -u "$expected" "$work/requests.out" > "$work/requests.diff" ||
  fail "driver-requests.exe answers differ from $expected: $(cat "$work/requests.diff")"
logged "GpdDev: data address 00000000 (1 bytes) unreadable: c0000005"
logged "GpdDev: data address 80000000 (4 bytes) unreadable: c0000005"
echo "driver-requests.exe: $(grep -c 'ok=0' "$work/requests.out") requests refused or failed with their codes," \
     "$(grep -c 'ok=1' "$work/requests.out") served; both bad data addresses caught by the guard"

run stop "$vc" vcctl.exe driver stop
expect stop 0 "driver: stopped"
logged "GpdDev: unloaded after"
unload=$(grep -m1 'GpdDev: unloaded after' "$log")
searches=$(sed -n 's/.* \([0-9]*\) BIOS searches.*/\1/p' <<< "$unload")
probes=$(sed -n 's/.* \([0-9]*\) probes.*/\1/p' <<< "$unload")
[ "${searches:-0}" -ge 2 ] || fail "the driver served ${searches:-no} BIOS searches for two detections: $unload"
[ "${probes:-0}" -ge 2 ] || fail "the driver served ${probes:-no} probes for two probe runs: $unload"
echo "vcctl.exe driver stop: ${unload#*GpdDev: }"
run remove "$vc" vcctl.exe driver remove
expect remove 0 "driver: removed"
run status-after "$vc" vcctl.exe driver status
expect status-after 0 "driver.service: not installed"
if wine reg query "$service_key" < /dev/null > /dev/null 2>&1; then fail "the service key is still there"; fi
[ ! -e "$drivers_dir/gpddev.sys" ] || fail "system32\\drivers\\gpddev.sys is still there"
echo "vcctl.exe driver stop, remove: the driver unloaded, no service, key or file left"

no_port_key || fail "a Software\\Wine\\VDM key appeared"
