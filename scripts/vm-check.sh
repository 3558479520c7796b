#!/usr/bin/env bash
# The hardware path on real kernel drivers: boots Debian's own kernel under
# QEMU (TCG) on a PIIX4 machine (pc) and an ICH9 machine (q35), runs vcctl and
# the desktop program velocore (Qt, offscreen) as an ordinary user against
# velocore-driverd inside, and reads back what reached the SMBus. The guest
# side is vm/guest-check.sh.
# Prints PASS/FAIL lines and a summary; exits 0 only when every check passed.
# Usage: scripts/vm-check.sh [pc] [q35]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/vm
kcache=$top/build/vm-kernel
work=$build/check
machines=${*:-pc q35}
# The guest serial log ends the run; a stuck guest must not hold CI.
vm_timeout=${VC_VM_TIMEOUT:-150}

now() { echo "${EPOCHREALTIME/./}"; }
since() { local d=$(( $(now) - $1 )); printf '%d.%d' $((d / 1000000)) $((d % 1000000 / 100000)); }
t_start=$(now)

# -- Static vcctl and velocore-driverd: the initramfs has no C library.
mkdir -p "$build"
if ! { cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_STATIC_TOOLS=ON \
         -DVC_GUI=OFF -DVC_TESTS=OFF -DVC_BENCH=OFF &&
       cmake --build "$build" -j2 --target vcctl velocore-driverd socket-load; } >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"
  echo "FAIL the static build (build/vm/build.log)"
  exit 1
fi

# -- Debian's kernel, downloaded (never installed) once per kernel version:
# vmlinuz and the five modules the check loads.
kernel_dependency() {
  (apt-cache depends linux-image-amd64 2>/dev/null || true) |
    awk '/Depends: linux-image-[0-9]/ { print $2; exit }'
}
kernel_package=$(kernel_dependency)
if [ -z "$kernel_package" ] && [ ! -s "$kcache/package" ]; then
  # A machine whose packages were all there never fetched the package lists.
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq >/dev/null 2>&1 || true
  kernel_package=$(kernel_dependency)
fi
if [ -z "$kernel_package" ] && [ -s "$kcache/package" ]; then
  kernel_package=$(cat "$kcache/package")  # no package lists: keep the cached one
fi
[ -n "$kernel_package" ] || { echo "FAIL kernel: no linux-image-amd64 dependency" >&2; exit 1; }
if [ "$(cat "$kcache/package" 2>/dev/null)" != "$kernel_package" ] || [ ! -s "$kcache/vmlinux" ]; then
  rm -rf "$kcache" && mkdir -p "$kcache/x"
  (cd "$kcache" && apt-get download -qq "$kernel_package" 2>&1 | grep -v unsandboxed || true)
  ls "$kcache"/linux-image-*.deb >/dev/null 2>&1 ||
    { echo "FAIL kernel: apt-get download $kernel_package" >&2; exit 1; }
  dpkg-deb --fsys-tarfile "$kcache"/linux-image-*.deb | tar -x -C "$kcache/x" --wildcards \
    './boot/vmlinuz-*' \
    './lib/modules/*/kernel/drivers/i2c/i2c-dev.ko*' \
    './lib/modules/*/kernel/drivers/i2c/i2c-smbus.ko*' \
    './lib/modules/*/kernel/drivers/i2c/busses/i2c-piix4.ko*' \
    './lib/modules/*/kernel/drivers/i2c/busses/i2c-i801.ko*' \
    './lib/modules/*/kernel/arch/x86/kernel/msr.ko*'
  rm -f "$kcache"/*.deb
  mkdir -p "$kcache/modules"
  for f in $(find "$kcache/x/lib/modules" -name '*.ko*'); do
    case "$f" in
      *.xz) xz -dc "$f" >"$kcache/modules/$(basename "${f%.xz}")" ;;
      *) cp "$f" "$kcache/modules/" ;;
    esac
  done
  # The uncompressed kernel boots directly (PVH); decompressing the bzImage
  # in the guest would cost ~6 s under TCG.
  vmlinuz=$(ls "$kcache"/x/boot/vmlinuz-*)
  offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$vmlinuz" | head -1 | cut -d: -f1)
  tail -c +$((offset + 1)) "$vmlinuz" | xz -dc --single-stream >"$kcache/vmlinux" 2>/dev/null || true
  [ -s "$kcache/vmlinux" ] || { echo "FAIL kernel: no vmlinux in $vmlinuz" >&2; exit 1; }
  rm -rf "$kcache/x"
  echo "$kernel_package" >"$kcache/package"
fi

# -- The initramfs: busybox, the modules, the static programs, the test data,
# and velocore with its libraries. Left uncompressed: ~96 MB, but gunzip
# under TCG would add a second to every boot.
rm -rf "$work" && mkdir -p "$work/root"/{bin,lib/modules,data,etc,proc,sys,dev}
root=$work/root
cp /bin/busybox "$root/bin/busybox"
cp "$kcache"/modules/*.ko "$root/lib/modules/"
cp "$build/bin/vcctl" "$build/bin/velocore-driverd" "$build/bin/socket-load" "$root/bin/"
# The helper runs as its unit starts it: the guest reads the unit's
# capabilities and runs it under util-linux's setpriv (busybox's cannot set
# the bounding set); flock holds a lock file as another user would.
cp "$top/packaging/systemd/velocore-driverd.service" "$top/packaging/systemd/velocore-driverd.socket" "$root/"
mkdir -p "$root/usr/bin"
for tool in /usr/bin/setpriv /usr/bin/flock; do
  [ -x "$tool" ] || { echo "FAIL $tool is missing (util-linux)"; exit 1; }
  cp "$tool" "$root/usr/bin/"
  for lib in $(ldd "$tool" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }'); do
    mkdir -p "$root${lib%/*}" && cp -L "$lib" "$root$lib"
  done
done
# One data set per machine: both boards carry the same BIOS's string.
for machine in pc q35; do
  mkdir -p "$root/data/$machine"
  cat "$top/vm/data/clockgen.vcdata" "$top/vm/data/$machine.vcdata" >"$work/$machine.vcdata"
  "$build/bin/vcctl" --dir "$root/data/$machine" data build "$work/$machine.vcdata" >/dev/null
done
# velocore, the desktop program, is dynamically linked: it goes in with the
# shared libraries it and Qt's offscreen platform plugin load, each at the
# path ldd names, so the loader finds them where it looks by default. The
# guest adds the machine's data files beside the program.
app=$top/build/dev/bin
qpa=/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqoffscreen.so
[ -x "$app/velocore" ] || echo "INFO no build/dev/bin/velocore: scripts/build.sh dev (minutes)"
if [ ! -x "$app/velocore" ] &&
   ! CMAKE_BUILD_PARALLEL_LEVEL=2 "$top/scripts/build.sh" dev >"$build/dev-build.log" 2>&1; then
  tail -n 20 "$build/dev-build.log"
  echo "FAIL velocore: scripts/build.sh dev (build/vm/dev-build.log)" | tee "$work/host.result"
elif [ ! -f "$qpa" ]; then
  echo "FAIL velocore: no Qt offscreen platform plugin at $qpa" | tee "$work/host.result"
else
  mkdir -p "$root/opt/velocore/plugins/platforms"
  cp "$app/velocore" "$root/opt/velocore/"
  cp -r "$app/resources" "$root/opt/velocore/"
  cp "$qpa" "$root/opt/velocore/plugins/platforms/"
  for lib in $( { ldd "$app/velocore"; ldd "$qpa"; } |
                awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' | sort -u); do
    mkdir -p "$root${lib%/*}" && cp -L "$lib" "$root$lib"
  done
  # save.dat: autoApply 1 (yes), autoApplySource 2 (the optimal entry).
  printf '\001\000\000\000\002\000\000\000' >"$root/opt/velocore/save.dat"
fi
cp "$top/vm/init" "$top/vm/guest-check.sh" "$root/"
chmod +x "$root/init"
(cd "$root" && find . | /bin/busybox cpio -o -H newc 2>/dev/null >"$work/initramfs.cpio")
t_built=$(now)
echo "INFO built in $(since "$t_start")s (kernel $kernel_package, initramfs $(( $(stat -c %s "$work/initramfs.cpio") / 1024 )) KiB)"

# -- One VM per machine; the guest prints PASS/FAIL/INFO lines on its serial port.
run_vm() {
  local machine=$1 log=$work/$1.log t0 qemu_args=()
  case $machine in
    pc)  qemu_args=(-M pc) ;;
    q35) qemu_args=(-M q35) ;;
    *) echo "FAIL $machine: unknown machine"; return ;;
  esac
  t0=$(now)
  # 512 MB: with velocore the unpacked initramfs (~96 MB) beside the archive
  # no longer fits in 256.
  timeout "$vm_timeout" qemu-system-x86_64 "${qemu_args[@]}" -accel tcg -m 512 \
    -cpu pentium3,+lm,+sse2,+syscall,-hypervisor \
    -nodefaults -display none -no-reboot -monitor none -serial stdio \
    -device i2c-ddc,bus=i2c,address=0x69 ${VC_VM_QEMU_TRACE:+-trace "$VC_VM_QEMU_TRACE" -D "$work/$machine.trace"} \
    -kernel "$kcache/vmlinux" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 panic=-1 loglevel=4 vc.machine=$machine" \
    </dev/null >"$log" 2>&1 || true
  tr -d '\r' <"$log" | grep -E '^(PASS|FAIL|INFO) ' || true
  if ! grep -q '^VM-DONE' "$log"; then
    echo "FAIL $machine: the guest did not finish"
  fi
  echo "TIME $machine boot=$(sed -n 's/^VM-INIT uptime=//p' "$log" | tr -d '\r') guest=$(sed -n 's/^VM-DONE uptime=//p' "$log" | tr -d '\r') total=$(since "$t0")s"
}

for machine in $machines; do
  run_vm "$machine" | tee "$work/$machine.result"
  if grep -q '^FAIL' "$work/$machine.result"; then
    echo "---- $machine serial log (tail) ----"
    tr -d '\r' <"$work/$machine.log" | tail -n 60
    echo "----"
  fi
done
passed=$(cat "$work"/*.result | grep -c '^PASS' || true)
failed=$(cat "$work"/*.result | grep -c '^FAIL' || true)
echo "vm-check: $passed passed, $failed failed; wall $(since "$t_start")s (runs $(since "$t_built")s)"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
