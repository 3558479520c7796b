#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal build, the
# Debian package, the i386 build and package, the VM check, the Windows
# programs under Wine, the ASan+UBSan build, and
# a short run of every fuzz target.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
fuzz_seconds=${VC_FUZZ_SECONDS:-20}
"$top/scripts/setup.sh"

"$top/scripts/build.sh" dev
ctest --test-dir "$top/build/dev" --output-on-failure -j"$(nproc)"
# The desktop program on a virtual display, when there is one to start.
if command -v Xvfb >/dev/null; then
  "$top/scripts/display-check.sh" "$top/build/dev/bin"
fi
# The Debian package: lintian, and the installed programs in a throw-away root.
"$top/scripts/package-check.sh" "$top/build/dev"

# The boards' own processors are 32-bit: every program and the whole suite
# built and run in a Debian 12 i386 root (kept in build/i386-root), and the
# i386 package checked as the amd64 one.
"$top/scripts/build.sh" i386
"$top/scripts/i386-root.sh" run ctest --test-dir "$top/build/i386" --output-on-failure -j"$(nproc)"
"$top/scripts/package-check.sh" "$top/build/i386" i386

# The hardware path on real kernel drivers, in QEMU: Debian's amd64 kernel
# and its 686 kernel on a Pentium III, with static i386 tools; the static
# i386 vcctl against the amd64 one.
"$top/scripts/vm-check.sh"

# The Windows programs: cross-built, every import held against what Windows
# 98, NT 4 and 2000 export (the NT port driver's against NT 4 and 2000's
# kernel), the tests and vcctl.exe run under Wine.
"$top/scripts/build.sh" win32
"$top/scripts/win-import-check.sh" "$top/build/win32"
"$top/scripts/win-test.sh" "$top/build/win32"
# The NT port driver: reproducible, and loaded and driven under Wine.
"$top/scripts/nt-driver-check.sh" "$top/build/win32"
# And in a real NT-family kernel: ReactOS from ../shared/reactos, under QEMU.
"$top/scripts/reactos-check.sh" "$top/build/win32"
if command -v Xvfb >/dev/null; then
  "$top/scripts/win-display-check.sh" "$top/build/win32/bin"
fi

"$top/scripts/build.sh" asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build/asan" --output-on-failure -j"$(nproc)"

"$top/scripts/build.sh" fuzz
for target in "$top"/build/fuzz/bin/fuzz_*; do
  [ -x "$target" ] || continue
  corpus="$top/fuzz/corpus/$(basename "$target")"
  mkdir -p "$top/build/fuzz/work/$(basename "$target")"
  name=$(basename "$target")
  log="$top/build/fuzz/work/$name.log"
  echo "fuzzing $name for ${fuzz_seconds}s"
  if ! "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
      -artifact_prefix="$top/build/fuzz/work/$name-" \
      "$top/build/fuzz/work/$name" $( [ -d "$corpus" ] && echo "$corpus" ) >"$log" 2>&1; then
    cat "$log"
    echo "fuzz target $name failed; the input is in build/fuzz/work/" >&2
    exit 1
  fi
  tail -n 1 "$log"
done
echo "all tests passed"
