#!/usr/bin/env bash
# The hardware path on real kernel drivers: boots Debian's own kernels under
# QEMU (TCG) on a PIIX4 machine (pc) and an ICH9 machine (q35), runs vcctl and
# the desktop program velocore (Qt, offscreen) as an ordinary user against
# velocore-driverd inside, and reads back what reached the SMBus. Two
# kernels: amd64's (pc, q35), and the 686 kernel that the boards' own 32-bit
# processors run (pc-686 on a Pentium III, q35-686 on a Core Duo), there with
# the i386 velocore of scripts/build.sh i386 and the i386 root's tools. One
# static i386 build of vcctl and velocore-driverd serves both kernels (an
# amd64 kernel runs i386 programs). The guest side is vm/guest-check.sh.
# Prints PASS/FAIL lines and a summary; exits 0 only when every check passed.
# Usage: scripts/vm-check.sh [pc] [q35] [pc-686] [q35-686]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/vm
work=$build/check
runs=${*:-pc q35 pc-686 q35-686}
i386_root=${VC_I386_ROOT:-$top/build/i386-root}
# The guest serial log ends the run; a stuck guest must not hold CI.
vm_timeout=${VC_VM_TIMEOUT:-150}

now() { echo "${EPOCHREALTIME/./}"; }
since() { local d=$(( $(now) - $1 )); printf '%d.%d' $((d / 1000000)) $((d % 1000000 / 100000)); }
t_start=$(now)

# -- Static vcctl and velocore-driverd for i386: the initramfs has no C
# library.
command -v i686-linux-gnu-g++ >/dev/null ||
  { echo "FAIL the static build: i686-linux-gnu-g++ is missing (scripts/setup.sh)"; exit 1; }
# A folder configured for another compiler starts afresh.
grep -qs '^CMAKE_CXX_COMPILER:.*i686-linux-gnu-g++' "$build/CMakeCache.txt" || rm -rf "$build"
mkdir -p "$build"
if ! { cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_STATIC_TOOLS=ON \
         -DCMAKE_CXX_COMPILER=i686-linux-gnu-g++ -DVC_GUI=OFF -DVC_TESTS=OFF -DVC_BENCH=OFF &&
       cmake --build "$build" -j2 --target vcctl velocore-driverd socket-load; } >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"
  echo "FAIL the static build (build/vm/build.log)"
  exit 1
fi

# -- Debian's kernels, downloaded (never installed) once per kernel version:
# the kernel and the five modules the check loads. fetch_kernel FLAVOUR
# (amd64 or 686) fills build/vm-kernel-FLAVOUR.
package_dependency() {  # package_dependency PACKAGE: what the meta package names
  (apt-cache depends "$1" 2>/dev/null || true) | awk '/Depends: linux-image-[0-9]/ { print $2; exit }'
}
apt_updated=no
fetch_kernel() {
  local flavour=$1 kcache=$top/build/vm-kernel-$1 meta package
  meta=linux-image-$flavour
  [ "$flavour" = 686 ] && meta=linux-image-686:i386
  package=$(package_dependency "$meta")
  if [ -z "$package" ] && [ ! -s "$kcache/package" ] && [ $apt_updated = no ]; then
    # A machine whose packages were all there never fetched the package lists.
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq >/dev/null 2>&1 || true
    apt_updated=yes
    package=$(package_dependency "$meta")
  fi
  if [ -z "$package" ] && [ -s "$kcache/package" ]; then
    package=$(cat "$kcache/package")  # no package lists: keep the cached one
  fi
  [ -n "$package" ] || { echo "FAIL kernel: no $meta dependency" >&2; return 1; }
  if [ "$(cat "$kcache/package" 2>/dev/null)" = "$package" ] && [ -s "$kcache/kernel" ]; then
    return 0
  fi
  rm -rf "$kcache" && mkdir -p "$kcache/x"
  (cd "$kcache" && apt-get download -qq "$package" 2>&1 | grep -v unsandboxed || true)
  ls "$kcache"/linux-image-*.deb >/dev/null 2>&1 ||
    { echo "FAIL kernel: apt-get download $package" >&2; return 1; }
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
  local vmlinuz offset
  vmlinuz=$(ls "$kcache"/x/boot/vmlinuz-*)
  if [ "$flavour" = amd64 ]; then
    # The uncompressed kernel boots directly (PVH); decompressing the
    # bzImage in the guest would cost ~6 s under TCG.
    offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$vmlinuz" | head -1 | cut -d: -f1)
    tail -c +$((offset + 1)) "$vmlinuz" | xz -dc --single-stream >"$kcache/kernel" 2>/dev/null || true
  else
    # The 686 kernel has no PVH entry (its /boot/config: "# CONFIG_PVH is
    # not set"): QEMU loads the bzImage, which decompresses itself.
    cp "$vmlinuz" "$kcache/kernel"
  fi
  [ -s "$kcache/kernel" ] || { echo "FAIL kernel: nothing to boot in $vmlinuz" >&2; return 1; }
  rm -rf "$kcache/x"
  echo "$package" >"$kcache/package"
}
# busybox for the 686 guest: the static i386 build, downloaded as the kernel.
fetch_i386_busybox() {
  local dir=$top/build/vm-kernel-686/busybox
  [ -x "$dir/busybox" ] && return 0
  mkdir -p "$dir"
  (cd "$dir" && apt-get download -qq busybox-static:i386 2>&1 | grep -v unsandboxed || true)
  ls "$dir"/busybox-static_*.deb >/dev/null 2>&1 || { echo "FAIL apt-get download busybox-static:i386" >&2; return 1; }
  dpkg-deb --fsys-tarfile "$dir"/busybox-static_*.deb | tar -xO ./bin/busybox >"$dir/busybox"
  chmod +x "$dir/busybox" && rm -f "$dir"/*.deb
}
flavours=""
for run in $runs; do
  case $run in
    pc|q35) flavours="$flavours amd64" ;;
    pc-686|q35-686) flavours="$flavours 686" ;;
    *) echo "FAIL $run: unknown run (pc, q35, pc-686, q35-686)"; exit 1 ;;
  esac
done
flavours=$(tr ' ' '\n' <<<"$flavours" | sort -u | tr '\n' ' ')
for flavour in $flavours; do fetch_kernel "$flavour" || exit 1; done
case " $flavours " in *" 686 "*) fetch_i386_busybox || exit 1 ;; esac

# velocore, the desktop program, comes from the dev build (amd64) and the
# i386 build; made here when missing.
for flavour in $flavours; do
  dir=dev
  [ "$flavour" = 686 ] && dir=i386
  if [ ! -x "$top/build/$dir/bin/velocore" ]; then
    echo "INFO no build/$dir/bin/velocore: scripts/build.sh $dir (minutes)"
    CMAKE_BUILD_PARALLEL_LEVEL=2 "$top/scripts/build.sh" "$dir" >"$build/$dir-build.log" 2>&1 ||
      { tail -n 20 "$build/$dir-build.log"; echo "FAIL velocore: scripts/build.sh $dir (build/vm/$dir-build.log)"; exit 1; }
  fi
done

rm -rf "$work" && mkdir -p "$work"
# -- The static i386 vcctl says what the amd64 one says on the simulated
# machine (the trace holds every byte that reached the simulated bus).
rm -rf "$build/same" && mkdir -p "$build/same/i386" "$build/same/amd64"
HOME=$build/same/i386 "$build/bin/vcctl" --machine default detect table next apply trace >"$build/same/i386.out" 2>&1 || true
HOME=$build/same/amd64 "$top/build/dev/bin/vcctl" --machine default detect table next apply trace >"$build/same/amd64.out" 2>&1 || true
if [ -s "$build/same/amd64.out" ] && cmp -s "$build/same/i386.out" "$build/same/amd64.out"; then
  echo "PASS host: static i386 vcctl prints what amd64 vcctl prints ($(wc -l <"$build/same/amd64.out") lines)"
else
  diff "$build/same/amd64.out" "$build/same/i386.out" | head -n 20 || true
  echo "FAIL host: static i386 vcctl and amd64 vcctl differ (build/vm/same)"
fi | tee "$work/same.result"

# -- The initramfs of one kernel: busybox, the modules, the static programs,
# the test data, and velocore with its libraries. Left uncompressed: ~96 MB,
# but gunzip under TCG would add a second to every boot.
# The shared libraries a program loads, each at the path ldd names, so the
# loader finds them where it looks by default; for i386 as the root names
# and holds them.
copy_libraries() {  # copy_libraries FLAVOUR DEST PROGRAM...
  local flavour=$1 dest=$2 lib from=""; shift 2
  local ldd=(ldd)
  [ "$flavour" = 686 ] && { ldd=("$top/scripts/i386-root.sh" run ldd); from=$i386_root; }
  for lib in $(for program in "$@"; do "${ldd[@]}" "$program"; done |
               awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' | sort -u); do
    mkdir -p "$dest${lib%/*}" && cp -L "$from$lib" "$dest$lib"
  done
}
make_initramfs() {  # make_initramfs FLAVOUR
  local flavour=$1 root=$work/root-$1 kcache=$top/build/vm-kernel-$1 busybox=/bin/busybox app
  local tools=(/usr/bin/setpriv /usr/bin/flock) from="" qpa=/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqoffscreen.so
  app=$top/build/dev/bin
  if [ "$flavour" = 686 ]; then
    busybox=$kcache/busybox/busybox from=$i386_root app=$top/build/i386/bin
    qpa=/usr/lib/i386-linux-gnu/qt6/plugins/platforms/libqoffscreen.so
  fi
  rm -rf "$root" && mkdir -p "$root"/{bin,lib/modules,data,etc,proc,sys,dev}
  cp "$busybox" "$root/bin/busybox"
  cp "$kcache"/modules/*.ko "$root/lib/modules/"
  cp "$build/bin/vcctl" "$build/bin/velocore-driverd" "$build/bin/socket-load" "$root/bin/"
  # The helper runs as its unit starts it: the guest reads the unit's
  # capabilities and runs it under util-linux's setpriv (busybox's cannot
  # set the bounding set); flock holds a lock file as another user would.
  cp "$top/packaging/systemd/velocore-driverd.service" "$top/packaging/systemd/velocore-driverd.socket" "$root/"
  mkdir -p "$root/usr/bin"
  for tool in "${tools[@]}"; do
    [ -x "$from$tool" ] || { echo "FAIL $from$tool is missing (util-linux)"; return 1; }
    cp "$from$tool" "$root/usr/bin/"
  done
  copy_libraries "$flavour" "$root" "${tools[@]}"
  # One data set per machine: both boards carry the same BIOS's string.
  for machine in pc q35; do
    mkdir -p "$root/data/$machine"
    cat "$top/vm/data/clockgen.vcdata" "$top/vm/data/$machine.vcdata" >"$work/$machine.vcdata"
    "$build/bin/vcctl" --dir "$root/data/$machine" data build "$work/$machine.vcdata" >/dev/null
  done
  # velocore with Qt's offscreen platform plugin; the guest adds the
  # machine's data files beside the program.
  [ -f "$from$qpa" ] || { echo "FAIL velocore: no Qt offscreen platform plugin at $from$qpa"; return 1; }
  mkdir -p "$root/opt/velocore/plugins/platforms"
  cp "$app/velocore" "$root/opt/velocore/"
  cp -r "$app/resources" "$root/opt/velocore/"
  cp "$from$qpa" "$root/opt/velocore/plugins/platforms/"
  copy_libraries "$flavour" "$root" "$app/velocore" "$qpa"
  # save.dat: autoApply 1 (yes), autoApplySource 2 (the optimal entry).
  printf '\001\000\000\000\002\000\000\000' >"$root/opt/velocore/save.dat"
  cp "$top/vm/init" "$top/vm/guest-check.sh" "$root/"
  chmod +x "$root/init"
  (cd "$root" && find . | /bin/busybox cpio -o -H newc 2>/dev/null >"$work/initramfs-$flavour.cpio")
  rm -rf "$root"
  echo "INFO initramfs $flavour: kernel $(cat "$kcache/package"), $(( $(stat -c %s "$work/initramfs-$flavour.cpio") / 1024 )) KiB"
}
for flavour in $flavours; do
  make_initramfs "$flavour" | tee -a "$work/host.result"
done
t_built=$(now)
echo "INFO built in $(since "$t_start")s"

# -- One VM per machine; the guest prints PASS/FAIL/INFO lines on its serial port.
run_vm() {
  local run=$1 machine=${1%-686} log=$work/$1.log t0 qemu=qemu-system-x86_64 flavour=amd64 cpu
  # The amd64 kernel needs long mode: a Pentium III with it added.
  cpu=pentium3,+lm,+sse2,+syscall,-hypervisor
  case $run in
    pc-686)  qemu=qemu-system-i386 flavour=686 cpu=pentium3 ;;
    # A 32-bit processor of the ICH9 machines' time.
    q35-686) qemu=qemu-system-i386 flavour=686 cpu=coreduo ;;
  esac
  t0=$(now)
  # 512 MB: with velocore the unpacked initramfs (~96 MB) beside the archive
  # no longer fits in 256.
  timeout "$vm_timeout" "$qemu" -M "$machine" -accel tcg -m 512 -cpu "$cpu" \
    -nodefaults -display none -no-reboot -monitor none -serial stdio \
    -device i2c-ddc,bus=i2c,address=0x69 ${VC_VM_QEMU_TRACE:+-trace "$VC_VM_QEMU_TRACE" -D "$work/$run.trace"} \
    -kernel "$top/build/vm-kernel-$flavour/kernel" -initrd "$work/initramfs-$flavour.cpio" \
    -append "console=ttyS0 panic=-1 loglevel=4 vc.machine=$machine" \
    </dev/null >"$log" 2>&1 || true
  # The guest names the machine; the run names the kernel too.
  tr -d '\r' <"$log" | grep -E '^(PASS|FAIL|INFO) ' | sed -E "s/^(PASS|FAIL|INFO) $machine /\1 $run /" || true
  if ! grep -q '^VM-DONE' "$log"; then
    echo "FAIL $run: the guest did not finish"
  fi
  echo "TIME $run boot=$(sed -n 's/^VM-INIT uptime=//p' "$log" | tr -d '\r') guest=$(sed -n 's/^VM-DONE uptime=//p' "$log" | tr -d '\r') total=$(since "$t0")s"
}

for run in $runs; do
  run_vm "$run" | tee "$work/$run.result"
  if grep -q '^FAIL' "$work/$run.result"; then
    echo "---- $run serial log (tail) ----"
    tr -d '\r' <"$work/$run.log" | tail -n 60
    echo "----"
  fi
done
passed=$(cat "$work"/*.result | grep -c '^PASS' || true)
failed=$(cat "$work"/*.result | grep -c '^FAIL' || true)
echo "vm-check: $passed passed, $failed failed; wall $(since "$t_start")s (runs $(since "$t_built")s)"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
