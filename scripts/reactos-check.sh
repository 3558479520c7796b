#!/usr/bin/env bash
# The NT port driver in a real NT-family kernel: ReactOS (NT 5.2) from the
# live CD in ../shared/reactos/ (its README: a blank first disk, the payload
# disk second, run.cmd run by the CD's hook, every line on COM1), booted
# under QEMU `pc` with a device at the clock generator's address 0x69 and
# QEMU's i2c trace. On the payload disk: gpddev.sys, vcctl.exe,
# driver-requests.exe and data files whose board record matches QEMU's BIOS.
# Required, on COM1 and in the trace:
#   the driver loaded through the service manager (sc create/start: the live
#   CD's system32\drivers is read-only, so `vcctl.exe driver install` cannot
#   copy it there) and `vcctl.exe driver status` saying it runs;
#   probe --read-chip listing the PIIX4 (kind 1, base 0x0700);
#   `detect next apply` right after it putting exactly one write on the bus
#   at 0x69, its command byte 0x00 first;
#   driver-requests.exe's refusals answered with their codes
#   (tests/driver/nt/expected-reactos.txt), both bad data addresses caught;
#   the driver unloaded at `sc stop`, with its counts of what it served;
#   no debugger stop (kdb:>) and HOOK-DONE rc=0.
# It never passes without booting. Usage: scripts/reactos-check.sh [BUILD_DIR]
# (default build/win32; the data files are built with build/dev/bin/vcctl).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/win32}" && pwd)
# Beside the repository, as in CI (VC_REACTOS_DIR for a checkout elsewhere).
shared=${VC_REACTOS_DIR:-$top/../shared/reactos}
work=$top/build/reactos
timeout_s=${VC_REACTOS_TIMEOUT:-240}
t_start=$(date +%s)

fail() {
  echo "FAIL reactos-check: $*" >&2
  exit 1
}
[ -d "$shared" ] || fail "$shared is missing: the ReactOS live CD must lie beside the repository (../shared/reactos)"
for tool in xz sha256sum sfdisk mkfs.vfat mcopy qemu-system-i386; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
for f in gpddev.sys vcctl.exe driver-requests.exe; do
  [ -f "$build/bin/$f" ] || fail "$build/bin/$f is not built (scripts/build.sh win32)"
done
native_vcctl=$top/build/dev/bin/vcctl
[ -x "$native_vcctl" ] || fail "$native_vcctl is not built (scripts/build.sh dev): it builds the data files"

# --- the CD, checked and unpacked once per image --------------------------------
xz_file=$shared/reactos-livecd.iso.xz
[ -f "$xz_file" ] && [ -f "$xz_file.sha256" ] || fail "$xz_file or its .sha256 is missing"
want=$(awk '{print $1; exit}' "$xz_file.sha256")
have=$(sha256sum "$xz_file" | awk '{print $1}')
[ -n "$want" ] && [ "$have" = "$want" ] || fail "$xz_file has SHA-256 $have, its .sha256 says $want"
mkdir -p "$work"
iso=$work/livecd-$want.iso
if [ ! -f "$iso" ]; then
  rm -f "$work"/livecd-*.iso
  xz -dc "$xz_file" > "$iso.part" && mv "$iso.part" "$iso"
fi

# --- the payload disk --------------------------------------------------------------
run=$work/run
rm -rf "$run" && mkdir -p "$run/files"
cat "$top/vm/data/clockgen.vcdata" "$top/vm/data/pc.vcdata" > "$run/pc.vcdata"
"$native_vcctl" --dir "$run/files" data build "$run/pc.vcdata" > /dev/null ||
  fail "the data files for QEMU's board could not be built"
cp "$build/bin/gpddev.sys" "$build/bin/vcctl.exe" "$build/bin/driver-requests.exe" "$run/files/"
# Each step announced, so the COM1 log can be cut into steps. The probe
# reads the chip first: QEMU's PIIX4 keeps a block read whose count was 0
# as under way (a real one resets its index when host control is read), so
# the apply right after it proves the driver's reset before a write.
sed 's/$/\r/' > "$run/files/run.cmd" <<'EOF'
@echo off
echo STEP install
sc create GpdDev type= kernel start= demand binpath= C:\gpddev.sys
sc start GpdDev
echo STEP status
vcctl.exe driver status
echo STEP probe
vcctl.exe --dir C:\ probe --read-chip
echo STEP apply
vcctl.exe --dir C:\ detect next apply
echo STEP requests
driver-requests.exe
echo STEP stop
sc stop GpdDev
sc delete GpdDev
echo STEP end
cmd /c exit 0
EOF
payload=$run/payload.img
truncate -s 64M "$payload"
echo 'start=2048, type=6' | sfdisk -q "$payload"
mkfs.vfat -F 16 --offset=2048 -n PAYLOAD "$payload" > /dev/null
MTOOLS_SKIP_CHECK=1 mcopy -i "$payload@@1M" "$run"/files/* ::/
truncate -s 1M "$run/blank.img"  # a blank first disk: else the CD boots the payload's MBR

# --- the boot ------------------------------------------------------------------------
serial=$run/com1.log
trace=$run/qemu-i2c.log
: > "$serial"
qemu-system-i386 -M pc -accel tcg -m 1024 -display none -no-reboot \
  -cdrom "$iso" -boot d \
  -drive file="$run/blank.img",format=raw,if=ide,index=0 \
  -drive file="$payload",format=raw,if=ide,index=1 \
  -serial file:"$serial" -monitor none \
  -device i2c-ddc,bus=i2c,address=0x69 -trace 'i2c_*' -D "$trace" &
qemu=$!
stop_qemu() { kill "$qemu" 2>/dev/null || true; wait "$qemu" 2>/dev/null || true; }
trap stop_qemu EXIT
outcome=timeout
for _ in $(seq 1 "$timeout_s"); do
  if grep -qa 'kdb:>' "$serial"; then outcome=debugger; break; fi
  if grep -qa 'HOOK-DONE rc=' "$serial"; then outcome=done; break; fi
  if grep -qa 'HOOK-NO-PAYLOAD' "$serial"; then outcome=nopayload; break; fi
  kill -0 "$qemu" 2>/dev/null || { outcome=exited; break; }
  sleep 1
done
stop_qemu
trap - EXIT
seconds=$(( $(date +%s) - t_start ))
log=$run/com1.txt
tr -d '\r' < "$serial" > "$log"
case $outcome in
  done) ;;
  debugger) fail "the kernel debugger stopped (a bug check or an assertion): $(grep -a -B20 'kdb:>' "$log" | tail -n 20)" ;;
  nopayload) fail "the hook found no payload drive" ;;
  exited) fail "QEMU ended before HOOK-DONE (see $log)" ;;
  *) fail "no HOOK-DONE within ${timeout_s}s (see $log)" ;;
esac
grep -qa '^HOOK-BEGIN payload=C:' "$log" || fail "the payload was not on C: (see $log)"
grep -qa '^HOOK-DONE rc=0' "$log" || fail "run.cmd ended with $(grep -a 'HOOK-DONE' "$log")"
echo "INFO ReactOS booted and ran the payload in ${seconds}s"

# step NAME: the COM1 lines from "STEP NAME" to the next step.
step() { awk -v s="STEP $1" '$0 == s {on = 1; next} /^STEP / {on = 0} on' "$log"; }
need() {  # TEXT WHERE...: the line is in the log (or the step's lines)
  local text=$1
  grep -qaF -- "$text" "$log" || fail "COM1 lacks '$text' (see $log)"
}

need 'GpdDev: loaded (version'
step status | grep -qx 'driver.state: running' || fail "driver status: $(step status | tr '\n' ' ')"
echo "ok    sc create/start loaded gpddev.sys from C:; vcctl.exe driver status: $(step status | grep -x 'driver.state: running')"

step probe | grep -q '^probe.controller\[[0-9]*\]: kind=1 base=0x0700 pci=0000:00:01.3 ' ||
  fail "probe does not list the PIIX4 (kind 1, base 0x0700): $(step probe | tr '\n' ' ')"
echo "ok    probe: $(step probe | grep -m1 'kind=1 base=0x0700')"

# The write transfers to 0x69 in the trace: the probe's block reads (a
# command byte, then a repeated start and reads) are not writes; the apply's
# select must be the one write there: start, command 0x00, the count and the
# entry's bytes, then the end of the transfer.
sends=$(grep -c 'i2c_send send(addr:0x69)' "$trace" || true)
[ "$sends" -gt 0 ] || fail "no byte reached the device at 0x69 (see $trace)"
writes=$(awk '/i2c_event start\(addr:0x69\)/ {n++; first = 1; next}
              /i2c_send send\(addr:0x69\)/ && first {print n ": " $NF; first = 0}' "$trace")
last=$(awk '/i2c_event start\(addr:0x69\)/ {buf = ""; on = 1; next}
            on && /i2c_send send\(addr:0x69\)/ {sub(/.*data:/, ""); buf = buf " " $0; next}
            on && /i2c_recv/ {on = 0; buf = ""}
            /i2c_event finish/ {if (on && buf != "") last = buf; on = 0}
            END {print last}' "$trace")
[ -n "$last" ] || fail "no write transfer to 0x69 in the trace (see $trace)"
read -r command count rest <<< "$last"
[ "$command" = "0x00" ] || fail "the select write's first byte is $command, not the command 0x00: $last"
step apply | grep -qi 'applied\|busClockMHz' || fail "detect next apply: $(step apply | tr '\n' ' ')"
write_transfers=$(awk '/i2c_event start\(addr:0x69\)/ {on = 1; w = 0; next}
                       on && /i2c_send send\(addr:0x69\)/ {w = 1}
                       on && /i2c_recv/ {w = 0; on = 0}
                       /i2c_event finish/ {if (on && w) n++; on = 0}
                       END {print n + 0}' "$trace")
[ "$write_transfers" -eq 1 ] || fail "$write_transfers write transfers to 0x69, not exactly the one select: $writes"
echo "ok    detect next apply: one write at 0x69: command $command, count $count, bytes${rest:+ $rest}"

expected=$top/tests/driver/nt/expected-reactos.txt
step requests | grep -E '^[a-z0-9-]+ ok=[01] ' > "$run/requests.out" || true
diff -u "$expected" "$run/requests.out" > "$run/requests.diff" ||
  fail "driver-requests.exe answers differ from $expected: $(cat "$run/requests.diff")"
need 'GpdDev: data address 00000000 (1 bytes) unreadable: c0000005'
need 'GpdDev: data address 80000000 (4 bytes) unreadable: c0000005'
echo "ok    driver-requests.exe: $(grep -c 'ok=0' "$run/requests.out") refused or failed with their codes," \
     "$(grep -c 'ok=1' "$run/requests.out") served; data addresses 0 and 0x80000000 caught by the driver"

unload=$(grep -a -m1 'GpdDev: unloaded after' "$log") || fail "the driver did not unload at sc stop (see $log)"
echo "ok    sc stop: ${unload#*GpdDev: }"
echo "INFO reactos-check: passed in $(( $(date +%s) - t_start ))s"
