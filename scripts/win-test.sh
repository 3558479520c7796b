#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (after scripts/build.sh win32).
# A fresh 32-bit prefix under build/win32 for each run; wineserver is started
# before ctest, or the helper processes Wine spawns for the first test hold
# ctest's output pipe open. Without wine32 an i686 program exits 0 having run
# nothing, so the tests ctest ran are counted against what the programs list.
# Then vcctl.exe against the Linux vcctl (LINUX_VCCTL, default
# build/dev/bin/vcctl) on the simulated machine, and on this computer as
# Windows 98, NT 4 and 2000 (Wine's per-program version), where no driver is
# installed.
# Usage: scripts/win-test.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win32}
build=$(cd "$build" && pwd)
linux_vcctl=${LINUX_VCCTL:-$top/build/dev/bin/vcctl}

export WINEPREFIX=$build/wine-prefix
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
export WINEDEBUG=-all

fail() {
  echo "win-test: $*" >&2
  exit 1
}
stop_wineserver() { wineserver -k 2>/dev/null || true; }
trap stop_wineserver EXIT

rm -rf "$WINEPREFIX"
wineboot -i < /dev/null > "$build/wineboot.log" 2>&1 || fail "wineboot failed (see $build/wineboot.log)"
wineserver -w
wineserver -p < /dev/null > /dev/null 2>&1
wine cmd /c exit < /dev/null > /dev/null 2>&1 || fail "wine cannot start a 32-bit program (is wine32 installed?)"

# --- the 9x virtual device beside the programs -------------------------------
# Linked and checked at build time; checked again here where it ships. Its
# requests run in tests/driver/win9x (the harness) with the unit tests.
[ -f "$build/bin/Map9X.vxd" ] || fail "no Map9X.vxd beside the programs in $build/bin"
"$build/map9x-host/bin/le_link" check "$build/bin/Map9X.vxd" || fail "Map9X.vxd does not pass the LE reader"

# --- the unit tests -----------------------------------------------------------
filter=$(cat "$build/windows-test-filter.txt")
expected=0
while read -r program; do
  listed=$(cd "$build" && wine "bin/$program" --gtest_list_tests "--gtest_filter=$filter" < /dev/null |
           tr -d '\r' | grep -c '^  ' || true)
  [ "$listed" -gt 0 ] || fail "$program lists no test"
  expected=$((expected + listed))
done < "$build/windows-tests.txt"

log=$build/ctest.log
status=0
ctest --test-dir "$build" -j2 --output-on-failure --timeout 120 < /dev/null > "$log" 2>&1 || status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$log" || true)
ran=$(sed -nE 's/.* out of ([0-9]+)$/\1/p' <<< "$summary")
if [ "$status" -ne 0 ]; then
  grep -E 'Failed|\*\*\*|Failure|Expected|Which is|Actual' "$log" | head -80
  fail "tests failed under Wine ($summary; log: $log)"
fi
[ "${ran:-0}" -eq "$expected" ] || fail "ctest ran ${ran:-0} tests, the programs hold $expected"
echo "Windows unit tests under Wine: $summary"

# --- vcctl.exe ----------------------------------------------------------------
[ -x "$linux_vcctl" ] || fail "no Linux vcctl at $linux_vcctl to compare with"
work=$(mktemp -d)
trap 'stop_wineserver; rm -rf "$work"' EXIT
# Each run in a folder of its own holding the shipped data.
fresh_dir() {
  mkdir -p "$work/$1"
  cp "$top"/data/*.dat "$work/$1/"
  echo "$work/$1"
}
vcctl_exe() { (cd "$build/bin" && wine vcctl.exe "$@" < /dev/null); }

linux_dir=$(fresh_dir linux)
windows_dir=$(winepath -w "$(fresh_dir windows)" < /dev/null)
linux_status=0
"$linux_vcctl" --machine default --dir "$linux_dir" detect apply > "$work/linux.out" 2> "$work/linux.err" ||
  linux_status=$?
windows_status=0
vcctl_exe --machine default --dir "$windows_dir" detect apply > "$work/windows.raw" 2> "$work/windows.err" ||
  windows_status=$?
tr -d '\r' < "$work/windows.raw" > "$work/windows.out"
[ "$windows_status" -eq "$linux_status" ] ||
  fail "vcctl.exe detect apply exits $windows_status, vcctl $linux_status"
lines=$(wc -l < "$work/linux.out")
[ "$lines" -gt 0 ] || fail "vcctl detect apply printed nothing: $(cat "$work/linux.err")"
if ! diff -u "$work/linux.out" "$work/windows.out"; then
  fail "vcctl.exe detect apply prints other lines than vcctl"
fi
echo "vcctl.exe --machine default detect apply: the same $lines lines as vcctl (exit $linux_status)"

# One running copy: a second `run` is refused while the first waits on its
# input (the counter is a page every copy shares).
mkfifo "$work/input"
(cd "$build/bin" && wine vcctl.exe --machine default --dir "$windows_dir" run < "$work/input" > "$work/first.out" 2>&1
 echo "exit $?" >> "$work/first.out") &
first=$!
exec 7> "$work/input"
for _ in $(seq 1 100); do grep -q '^running:' "$work/first.out" 2> /dev/null && break; sleep 0.2; done
grep -q '^running:' "$work/first.out" || fail "the first vcctl.exe run did not start: $(cat "$work/first.out")"
second_status=0
vcctl_exe --machine default --dir "$windows_dir" run > "$work/second.out" 2>&1 || second_status=$?
exec 7>&-
wait "$first"
[ "$second_status" -eq 1 ] || fail "a second vcctl.exe run exits $second_status, not 1"
grep -q 'another copy is running' "$work/second.out" || fail "the second run does not say why: $(cat "$work/second.out")"
tr -d '\r' < "$work/first.out" | grep -qx 'exit 0' || fail "the first run did not end cleanly: $(cat "$work/first.out")"
echo "vcctl.exe run: a second copy is refused with exit 1 while the first runs"

# Wine passes a port through to this machine's hardware only when
# HKCU\Software\Wine\VDM lists it (Ports, or ppdev for the parallel port):
# make sure no such key exists before any run as 98, so not one port access
# reaches real hardware even when the tests run as root.
wine reg delete 'HKCU\Software\Wine\VDM' /f < /dev/null > /dev/null 2>&1 || true
if wine reg query 'HKCU\Software\Wine\VDM' < /dev/null > /dev/null 2>&1; then
  fail "Wine's VDM key is still there: refusing to run port instructions"
fi

# This computer as each system: 98 reaches for its virtual device (Wine has
# none: detection stops as on an unsupported board); NT 4 and 2000 find no
# port driver and end with its message and exit code 1.
check_as() {  # VERSION EXPECTED_EXIT EXPECTED_MESSAGE
  wine reg add 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /v Version /d "$1" /f < /dev/null > /dev/null 2>&1
  local status=0
  vcctl_exe --dir "$windows_dir" detect > "$work/$1.out" 2> "$work/$1.raw" || status=$?
  tr -d '\r' < "$work/$1.raw" > "$work/$1.err"
  [ "$status" -eq "$2" ] || fail "vcctl.exe detect as $1 exits $status, not $2: $(cat "$work/$1.err")"
  grep -qxF "$3" "$work/$1.err" || fail "vcctl.exe detect as $1 does not say '$3': $(cat "$work/$1.err")"
  echo "vcctl.exe detect as $1: exit $status, $3"
}
check_as win98 3 "Message: ScanBiosInfo fail"
check_as nt40 1 "Message: Failed to open Velocore WinNT driver"
check_as win2k 1 "Message: Failed to open Velocore Win2000 driver"
# As 98 the ports are the program's own: Wine runs the port instructions,
# reads all ones and drops writes, so PCI shows nothing and board-id ends as on
# a board without a controller.
wine reg add 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /v Version /d win98 /f < /dev/null > /dev/null 2>&1
status=0
vcctl_exe --dir "$windows_dir" board-id > "$work/ports.raw" 2> "$work/ports.err" || status=$?
tr -d '\r' < "$work/ports.raw" > "$work/ports.out"
[ "$status" -eq 3 ] || fail "vcctl.exe board-id as win98 exits $status, not 3: $(cat "$work/ports.err")"
for line in "board-id.via: ports" "board-id.controller: none" "board-id.hostBridge: 0xFFFFFFFF"; do
  grep -qxF "$line" "$work/ports.out" || fail "vcctl.exe board-id as win98 does not print '$line': $(cat "$work/ports.out")"
done
echo "vcctl.exe board-id as win98: the port reads give all ones, no controller (exit 3)"
wine reg delete 'HKCU\Software\Wine\AppDefaults\vcctl.exe' /f < /dev/null > /dev/null 2>&1
