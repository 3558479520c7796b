#!/usr/bin/env bash
# The load check of the Windows programs. Windows refuses to start a program
# that imports one function its DLLs do not export, or whose header asks for
# a newer subsystem than the system's: so every import of every program must
# be in scripts/win-exports.tsv as present on Windows 98, NT 4 and 2000, and
# the subsystem version must be 4.0.
# The NT port driver is held to the same table by scripts/sys-check.py: its
# PE header as NT 4's loader wants it, every import from the kernel or the
# HAL present on NT 4 and 2000.
# Usage: scripts/win-import-check.sh [BUILD_DIR | PROGRAM.exe...]
#   BUILD_DIR (default build/win32): the programs its windows-programs.txt
#   lists, and bin/gpddev.sys.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
table=$top/scripts/win-exports.tsv
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

programs=()
drivers=()
if [ $# -eq 0 ] || [ -d "$1" ]; then
  build=${1:-$top/build/win32}
  list=$build/windows-programs.txt
  if [ ! -s "$list" ]; then
    echo "win-import-check: $list lists no program (build with scripts/build.sh win32)" >&2
    exit 1
  fi
  while read -r name; do programs+=("$build/bin/$name"); done < "$list"
  drivers=("$build/bin/gpddev.sys")
  counter=$build/bin/probe-import.sys
else
  programs=("$@")
fi

status=0
for exe in "${programs[@]}"; do
  name=$(basename "$exe")
  if [ ! -f "$exe" ]; then
    echo "$name: not built"
    status=1
    continue
  fi
  dump=$("$objdump" -p "$exe")
  subsystem=$(awk '/^MajorSubsystemVersion/{major=$2} /^MinorSubsystemVersion/{minor=$2}
                   END{print major "." minor}' <<< "$dump")
  if [ "$subsystem" != "4.0" ]; then
    echo "$name: subsystem version $subsystem: 98 and NT 4 load only 4.0 (vc_windows_program sets it)"
    status=1
  fi
  # Import lines: "\tVMA\t HINT  NAME" after each "DLL Name: X.dll".
  awk -F'\t' -v exe="$name" '
    NR == FNR { if ($0 !~ /^#/ && NF >= 5) { row[$1 "!" $2] = $3 "\t" $4 "\t" $5; note[$1 "!" $2] = $6 }; next }
    /DLL Name:/ { dll = toupper($0); sub(/.*DLL NAME: /, "", dll); sub(/\.DLL$/, "", dll); next }
    /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {
      split($3, parts, " "); fn = parts[2]; key = dll "!" fn; count++; dlls[dll] = 1
      if (!(key in row)) { print exe ": " key " is not in win-exports.tsv: counts as missing on 98, nt4, 2000"; bad = 1; next }
      split(row[key], seen, "\t")
      for (i = 1; i <= 3; i++) {
        os = (i == 1 ? "98" : i == 2 ? "nt4" : "2000")
        if (seen[i] ~ /^N/) { print exe ": " key " missing on " os " (" note[key] ")"; bad = 1 }
        else if (seen[i] ~ /^S/) stubs = stubs " " key "@" os
      }
    }
    END {
      n = 0; for (d in dlls) n++
      if (stubs != "") print exe ": loads, but these are stubs that fail when called:" stubs
      printf "%s: %d imports from %d DLLs checked on 98, nt4, 2000: %s\n", exe, count, n, bad ? "FAIL" : "ok"
      exit bad
    }' "$table" - <<< "$dump" || status=1
done
for sys in "${drivers[@]}"; do
  python3 "$top/scripts/sys-check.py" "$sys" || status=1
  # The check itself must notice a damaged image: one byte changed breaks
  # the checksum the loader verifies.
  damaged=$(mktemp)
  cp "$sys" "$damaged"
  printf '\x01' | dd of="$damaged" bs=1 seek=64 conv=notrunc status=none
  if python3 "$top/scripts/sys-check.py" "$damaged" > /dev/null; then
    echo "$(basename "$sys"): sys-check.py passes a copy with one byte changed"
    status=1
  fi
  rm -f "$damaged"
done
# And it must refuse a driver that imports what NT 4 lacks: ProbeForRead,
# a macro in NT 3.50 to 4.0.
if [ -n "${counter:-}" ]; then
  if [ ! -f "$counter" ]; then
    echo "probe-import.sys: not built"
    status=1
  elif out=$(python3 "$top/scripts/sys-check.py" "$counter"); then
    echo "probe-import.sys: sys-check.py passes a driver importing ProbeForRead"
    status=1
  elif ! grep -q 'FAIL  ntoskrnl.exe!ProbeForRead missing on nt4: not exported' <<< "$out"; then
    echo "probe-import.sys: sys-check.py fails it, but not for ProbeForRead on NT 4: $out"
    status=1
  else
    echo "probe-import.sys: refused as it must be: $(grep -m1 -o 'ntoskrnl.exe!ProbeForRead missing on nt4: not exported' <<< "$out")"
  fi
fi
exit $status
