#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (after scripts/build.sh win32).
# A fresh 32-bit prefix under build/win32 for each run; wineserver is started
# before ctest, or the helper processes Wine spawns for the first test hold
# ctest's output pipe open. Without wine32 an i686 program exits 0 having run
# nothing, so the tests ctest ran are counted against what the programs list.
# Usage: scripts/win-test.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win32}
build=$(cd "$build" && pwd)

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
wineboot -i > "$build/wineboot.log" 2>&1 || fail "wineboot failed (see $build/wineboot.log)"
wineserver -w
wineserver -p < /dev/null > /dev/null 2>&1
wine cmd /c exit < /dev/null > /dev/null 2>&1 || fail "wine cannot start a 32-bit program (is wine32 installed?)"

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
