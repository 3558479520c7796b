# Inside the VM, as root: velocore-driverd serves, an ordinary user runs
# vcctl, and the SPD EEPROM at 0x50 (writable, unlike anything QEMU offers at
# the clock generator's 0x69) shows what reached the bus.
machine=$(sed -n 's/.*vc\.machine=\([a-z0-9]*\).*/\1/p' /proc/cmdline)
case $machine in
  pc)  controller=0000:00:01.3 bus_driver=i2c-piix4 ;;
  q35) controller=0000:00:1f.3 bus_driver=i2c-i801 ;;
esac
socket=/run/velocore-driverd.sock
failed=0
pass() { echo "PASS $machine $*"; }
fail() { echo "FAIL $machine $*"; failed=1; }
info() { echo "INFO $machine $*"; }
check() {  # check WHAT COMMAND...: PASS when COMMAND succeeds
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# Two ordinary users in the helper's group, and one outside it.
cat >/etc/passwd <<'PW'
root:x:0:0:root:/root:/bin/sh
user:x:1000:1000:user:/home/user:/bin/sh
user2:x:1001:1001:user2:/home/user2:/bin/sh
outsider:x:1002:1002:outsider:/home/outsider:/bin/sh
PW
cat >/etc/group <<'GR'
root:x:0:
user:x:1000:
user2:x:1001:
outsider:x:1002:
GR
# Sixteen more members, for the attack on the member slots.
keepers=
for i in $(seq 0 15); do
  echo "keeper$i:x:$((2000 + i)):1000:keeper$i:/:/bin/sh" >>/etc/passwd
  keepers="$keepers,keeper$i"
done
echo "velocore:x:900:user,user2$keepers" >>/etc/group
for u in user user2 outsider; do mkdir -p /home/$u && chown $u:$u /home/$u; done
chown 1000:1000 /data/$machine

check "insmod msr" insmod /lib/modules/msr.ko
command -v velocore-driverd >/dev/null || { fail "velocore-driverd is not in the initramfs"; exit; }

# The helper as its units start it: socket-load listens where the socket
# unit says (its mode and group) and hands the socket over as systemd does;
# the service runs with the unit's ExecStart options, its capability
# bounding set and NoNewPrivileges, all read from the unit files; its log
# goes to the system log.
unit=/velocore-driverd.service
bounding=-all
for cap in $(sed -n 's/^CapabilityBoundingSet=//p' $unit); do
  bounding="$bounding,+$(echo "${cap#CAP_}" | tr A-Z a-z)"
done
no_new_privs=
grep -qx 'NoNewPrivileges=yes' $unit && no_new_privs=--no-new-privs
exec_options=$(sed -n 's/^ExecStart=[^ ]* //p' $unit)
socket_mode=$(sed -n 's/^SocketMode=//p' /velocore-driverd.socket)
export LISTEN_BACKLOG=$(sed -n 's/^Backlog=//p' /velocore-driverd.socket)
socket_group=$(sed -n "s/^$(sed -n 's/^SocketGroup=//p' /velocore-driverd.socket):x:\([0-9]*\):.*/\1/p" /etc/group)
info "the units: $exec_options, bounding set $bounding $no_new_privs, socket mode $socket_mode group $socket_group backlog ${LISTEN_BACKLOG:-default}"
syslogd -O /tmp/helper.log -S

helper_pid=
start_helper() {  # start_helper [HELPER OPTION...]
  [ -n "$helper_pid" ] && kill "$helper_pid" && wait "$helper_pid" 2>/dev/null
  rm -f $socket
  socket-load activate $socket $socket_mode $socket_group /usr/bin/setpriv --bounding-set "$bounding" \
    --inh-caps -all $no_new_privs /bin/velocore-driverd $exec_options "$@" >>/tmp/helper.log 2>&1 &
  helper_pid=$!
  local i=0
  while [ ! -S $socket ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  [ -S $socket ] || { fail "velocore-driverd $*: no socket"; return 1; }
  # Serving once it has logged so (after giving CAP_SYS_ADMIN up).
  i=0
  while ! grep -q "velocore-driverd\[$helper_pid\]: serving" /tmp/helper.log && [ $i -lt 50 ]; do
    sleep 0.1; i=$((i + 1))
  done
}

# Once it serves it holds port I/O and module loading, nothing more: the
# capability that opened the PCI configuration files is gone.
capabilities_held() {
  local eff nnp bnd
  eff=$(awk '/^CapEff:/ { print $2 }' /proc/$helper_pid/status)
  nnp=$(awk '/^NoNewPrivs:/ { print $2 }' /proc/$helper_pid/status)
  bnd=$(awk '/^CapBnd:/ { print $2 }' /proc/$helper_pid/status)
  info "velocore-driverd: CapEff=$eff CapBnd=$bnd NoNewPrivs=$nnp"
  # CAP_SYS_MODULE is bit 16, CAP_SYS_RAWIO bit 17; CAP_SYS_ADMIN (21) and
  # CAP_SETPCAP (8) gone from the bounding set too.
  [ "$eff" = 0000000000030000 ] && [ "$bnd" = 0000000000030000 ] && [ "$nnp" = 1 ]
}

# What the helper sees, as INFO lines; in /tmp/probe-NAME.out.
# The probe reads the chip's block back where vcctl can be asked to: that
# read (a block read QEMU's devices answer with count 0) is what the write
# right after it has to survive.
read_chip=
vcctl --help 2>&1 | grep -q -- '--read-chip' && read_chip=--read-chip
probe() {  # probe NAME
  su user -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine probe $read_chip" >/tmp/probe-$1.out 2>&1
  sed "s/^/INFO $machine probe $1: /" /tmp/probe-$1.out
}

# vcctl board-id as user 1000 through the helper: the controller it proposes
# is the one the probe saw; it reads the device at the helper's address back
# and writes nothing.
board_id() {  # board_id NAME
  local kind base
  su user -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine board-id" >/tmp/board-id-$1.out 2>&1
  sed "s/^/INFO $machine board-id $1: /" /tmp/board-id-$1.out
  kind=$(sed -n "s/^probe\.controller\[[0-9]*\]: kind=\([0-9]\) base=\(0x[0-9A-F]*\) pci=$controller .*/\1/p" /tmp/probe-$1.out)
  base=$(sed -n "s/^probe\.controller\[[0-9]*\]: kind=\([0-9]\) base=\(0x[0-9A-F]*\) pci=$controller .*/\2/p" /tmp/probe-$1.out)
  [ -n "$kind" ] && grep -q "^board-id.controller: kind=$kind base=$base " /tmp/board-id-$1.out
}

# The program's own sequence as user 1000; its output in /tmp/NAME.out.
# What answers at the clock generator's address here is an EEPROM or a DDC
# device: it takes the byte but cannot move the clock, so the check after
# the write says so (verify.ok: no, exit 3). That alone still counts as a
# write that reached the bus (exit 0 here); any other failure keeps its code.
run_vcctl() {  # run_vcctl NAME
  su user -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine detect table apply" \
    >/tmp/$1.out 2>/tmp/$1.err
  local rc=$?
  if [ $rc -eq 3 ] && grep -q '^verify.ok: no' /tmp/$1.out && ! grep -q 'did not take the write' /tmp/$1.err; then
    info "$1: $(grep -E '^verify\.(expected|measured)BusMHz:' /tmp/$1.out | tr '\n' ' ')(the clock cannot follow here)"
    rc=0
  fi
  [ $rc -eq 0 ] || { info "$1: vcctl exit $rc"; sed "s/^/INFO $machine $1: /" /tmp/$1.err; }
  return $rc
}

# A write nobody takes ends the program (1) or fails apply (3); not a crash.
refused() {  # refused NAME
  run_vcctl "$1"
  case $? in 1 | 3) return 0 ;; *) return 1 ;; esac
}

# The wire byte of the applied entry: its select byte ORed with the mask.
# The table comes before the write (a write the clock cannot follow ends
# vcctl with exit 3), so the entry is the last appliedIndex printed.
applied_byte() {  # applied_byte NAME
  local sel mask index
  index=$(sed -n 's/^appliedIndex: //p' /tmp/$1.out | tail -1)
  sel=$(sed -n "s/^entry\.$index: .* chipValue=\(0x[0-9A-Fa-f]*\) marks=.*/\1/p" /tmp/$1.out)
  mask=$(sed -n 's/^clockGen\.firstByteMask: //p' /tmp/$1.out | tail -1)
  [ -n "$sel" ] && [ -n "$mask" ] && printf '0x%02x' $(( (sel | mask) & 0xFF ))
}

# A block write [byte] with command 0 leaves count 1 at offset 0, the byte at 1.
eeprom_holds() {  # eeprom_holds BYTE0 BYTE1
  local b0 b1
  b0=$(i2cget -y $adapter 0x50 0x00) && b1=$(i2cget -y $adapter 0x50 0x01)
  [ "$b0 $b1" = "$1 $2" ] && return
  info "EEPROM at 0x50 holds $b0 $b1 (offsets 0 and 1), not $1 $2"
  return 1
}

# 1. No kernel SMBus driver: the helper drives the controller's ports. Its
# socket sits in a folder anyone may write, and a user outside the group
# holds a lock on the name beside it: the helper's own lock is elsewhere.
mkdir -p /tmp/pub && chmod 1777 /tmp/pub
system_socket=$socket
socket=/tmp/pub/velocore.sock
su outsider -c "/usr/bin/flock /tmp/pub/velocore.sock.lock sleep 3600" &
outsider_lock=$!
check "a user outside the group cannot open the helper's lock in /run" \
  sh -c '! su outsider -c "/usr/bin/flock -n /run/velocore-driverd.lock true" 2>/dev/null'
start_helper --clockgen-address 0x50
check "velocore-driverd runs with the unit's capabilities, CAP_SYS_ADMIN given up (bounding set too)" capabilities_held
probe ports
check "velocore-driverd finds $controller unclaimed by the kernel" \
  grep -q "pci=$controller driver=none adapter=none" /tmp/probe-ports.out
# An earlier transfer's command byte, left in the register: the block write
# must name its own (0x00), or the EEPROM takes the bytes at 0xC4.
base=$(sed -n "s/^probe\.controller\[[0-9]*\]: kind=[0-9] base=\(0x[0-9A-Fa-f]*\) pci=$controller .*/\1/p" /tmp/probe-ports.out)
printf '\304' | dd of=/dev/port bs=1 seek=$((base + 3)) conv=notrunc 2>/dev/null
left=$(dd if=/dev/port bs=1 skip=$((base + 3)) count=1 2>/dev/null | od -An -tx1 | tr -d ' ')
check "0xC4 left in the command register (${base:-?}+3): $left" test "$left" = c4
check "a member's probe, then at once vcctl detect apply as user 1000 (helper on the ports, a non-member holding a lock beside its socket)" \
  run_vcctl ports
info "detected: $(grep -E '^(board\.biosId|board\.smbusKind|board\.smbusBase|cpuClockMHz|busClockMHz|multiplier|appliedIndex):' \
  /tmp/ports.out | head -7 | tr '\n' ' ')"
expected_ports=$(applied_byte ports)
# After the write: a block read leaves QEMU's controller in the state noted below.
check "vcctl board-id as user 1000 names the controller the probe saw (ports)" board_id ports
# The helper's lock made readable to all (as a umask of 022 would leave it)
# and held by a user outside the group through a read-only descriptor: the
# helper refuses the file at once, with the reason in its log, instead of
# waiting on it; the probe is not held up either. Once the file is gone
# the helper makes it 0600 again and writes.
lock_open_to_all() {
  local t0 ms mode
  chmod 0644 /run/velocore-driverd.lock
  su outsider -c "/usr/bin/flock -s /run/velocore-driverd.lock sleep 30" &
  local holder=$!
  sleep 0.3
  t0=$(now_ms)
  su user -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine detect apply" >/dev/null 2>&1
  ms=$(( $(now_ms) - t0 ))
  info "lock 0644 held by uid 1002: a member's apply ended in $ms ms (vcctl itself included)"
  check "a 0644 lock file held by a non-member: the helper says why and does not wait on it" \
    grep -q 'velocore-driverd.lock: mode 0644 lets others open it' /tmp/helper.log
  info "probe while the 0644 lock is held: $(timed_probe user2) ms"
  kill $holder 2>/dev/null; wait $holder 2>/dev/null
  rm -f /run/velocore-driverd.lock
  probe lock-gone
  check "the lock removed: a member's probe, then at once apply on the ports again" run_vcctl lock-gone
  mode=$(stat -c %a /run/velocore-driverd.lock 2>/dev/null)
  check "the helper made its lock again with mode 600 (${mode:-none})" test "$mode" = 600
}
now_ms() { awk '{ printf "%d", $1 * 1000 }' /proc/uptime; }
timed_probe() {  # timed_probe WHO: user2 or root; prints the time in ms
  local out
  if [ "$1" = root ]; then out=$(socket-load probe $socket); else out=$(su $1 -c "socket-load probe $socket"); fi
  echo "$out" | sed -n 's/^probe=answered ms=//p'
}
lock_open_to_all
kill $outsider_lock 2>/dev/null
socket=$system_socket

# 2. The kernel's SMBus driver; from now on the helper goes through i2c-dev.
for m in i2c-smbus $bus_driver i2c-dev; do check "insmod $m" insmod /lib/modules/$m.ko; done
adapter=$(ls -d /sys/bus/pci/devices/$controller/i2c-* 2>/dev/null | head -1)
adapter=${adapter##*/i2c-}
check "adapter /dev/i2c-$adapter on $controller" test -c "/dev/i2c-$adapter"
check "the port write reached the EEPROM at 0x50 with command 0x00: 01 ${expected_ports:-?}" \
  eeprom_holds 0x01 "${expected_ports:-none}"
i2cset -y $adapter 0x50 0x00 0x00 && i2cset -y $adapter 0x50 0x01 0x00
check "the EEPROM at 0x50 cleared to 00 00" eeprom_holds 0x00 0x00
start_helper --clockgen-address 0x50
probe i2c
check "velocore-driverd sees /dev/i2c-$adapter on $controller" \
  grep -q "pci=$controller driver=[^ ]* adapter=/dev/i2c-$adapter" /tmp/probe-i2c.out
check "a member's probe, then at once vcctl detect apply as user 1000 (helper through i2c-dev)" run_vcctl i2c
expected_i2c=$(applied_byte i2c)
check "the i2c-dev write reached the EEPROM at 0x50: 01 ${expected_i2c:-?}" \
  eeprom_holds 0x01 "${expected_i2c:-none}"

# 2b. The desktop program as user 1000 on Qt's offscreen platform, the helper
# through i2c-dev. save.dat asks for the optimal entry at start-up, so
# velocore writes the clock generator without a click; vcctl startup with the
# same files writes the same entry first and so names the byte to expect.
run_velocore() {
  local app=/opt/velocore pid i=0 t0 waited ids expected ok=1
  cp /data/$machine/MBInfo.dat /data/$machine/CGInfo.dat $app/
  chown 1000:1000 $app
  su user -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir $app detect table startup" \
    >/tmp/startup.out 2>/tmp/startup.err
  grep -q '^startup.applied: optimal' /tmp/startup.out && expected=$(applied_byte startup)
  if [ -z "$expected" ]; then
    fail "vcctl startup as user 1000 applies the optimal entry"
    sed "s/^/INFO $machine startup: /" /tmp/startup.err
    return
  fi
  pass "vcctl startup as user 1000 applies the optimal entry: $expected"
  i2cset -y $adapter 0x50 0x00 0x00 && i2cset -y $adapter 0x50 0x01 0x00
  check "the EEPROM at 0x50 cleared to 00 00 for velocore" eeprom_holds 0x00 0x00 || return
  # The user's own runtime folder (the single-copy counter, the show-request
  # socket) and home (the autostart entry).
  mkdir -p /run/user/1000 && chown 1000:1000 /run/user/1000 && chmod 700 /run/user/1000
  # exec all the way down, so the background pid is velocore's own; timeout
  # only in case the kill below never comes.
  timeout 30 su user -c "cd /home/user && exec env HOME=/home/user XDG_RUNTIME_DIR=/run/user/1000 \
      VELOCORE_DRIVER_SOCKET=$socket QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$app/plugins $app/velocore" \
    >/tmp/velocore.out 2>/tmp/velocore.err &
  pid=$!
  # It keeps running with its window either way; the bus tells the outcome.
  t0=$(cut -d' ' -f1 /proc/uptime)
  while [ $i -lt 100 ] && [ "$(i2cget -y $adapter 0x50 0x00)" != 0x01 ]; do sleep 0.1; i=$((i + 1)); done
  waited=$(awk -v a="$t0" -v b="$(cut -d' ' -f1 /proc/uptime)" 'BEGIN { printf "%.1f", b - a }')
  info "velocore: EEPROM polled for ${waited}s; ps: $(ps -o pid,user,args | awk -v p=$pid '$1 == p { $1 = $1; print }')"
  ids="$(cat /proc/$pid/comm 2>/dev/null) $(awk '/^Uid:/ { print $2, $3 }' /proc/$pid/status 2>/dev/null)"
  if eeprom_holds 0x01 "$expected"; then
    pass "velocore as user 1000 applied the start-up entry: 01 $expected"
  else
    fail "velocore as user 1000 applied the start-up entry: 01 $expected"; ok=0
  fi
  if [ "$ids" = "velocore 1000 1000" ]; then
    pass "velocore ran as uid 1000 (real and effective)"
  else
    fail "velocore ran as uid 1000 (process, real and effective uid: ${ids:-gone})"; ok=0
  fi
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
  [ $ok -eq 1 ] || sed "s/^/INFO $machine velocore: /" /tmp/velocore.err
}
# Debian 12's Qt 6 needs SSE2, which a Pentium III lacks: there velocore
# must end at once with Qt's reason instead.
refuses_without_sse2() {
  ! su user -c "QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=/opt/velocore/plugins /opt/velocore/velocore" \
    >/dev/null 2>/tmp/velocore.err && grep -q 'requires the following features' /tmp/velocore.err &&
    grep -qw sse2 /tmp/velocore.err
}
if [ ! -x /opt/velocore/velocore ]; then fail "velocore is not in the initramfs"
elif grep -qw sse2 /proc/cpuinfo; then run_velocore
else check "velocore on a processor without SSE2 ends with Qt's reason" refuses_without_sse2; fi

# 3. The real address: QEMU's i2c-ddc at 0x69 acknowledges (it keeps nothing);
# where nobody answers, apply must fail.
start_helper
probe plain
check "a member's probe, then at once vcctl apply to 0x69 acknowledged (exit 0)" run_vcctl plain
start_helper --clockgen-address 0x6a
check "vcctl apply to 0x6a, where nothing answers, fails (exit 1 or 3)" refused absent

# 4. Load on the socket. Each member has a few connections and each round
# serves one request per uid, so neither a member holding 200 connections
# nor one flooding probes keeps another member or root waiting.
start_helper --clockgen-address 0x50
quiet=$(timed_probe user2)
info "a member's probe with nobody else on the socket: ${quiet:-failed} ms"
su user -c "socket-load hold $socket 200 14" >/tmp/hold.out 2>&1 &
hold_pid=$!
sleep 2
held_user2=$(timed_probe user2)
held_root=$(timed_probe root)
check "user 1001's probe while user 1000 holds 200 connections: ${held_user2:-failed} ms" test -n "$held_user2"
check "root's probe while user 1000 holds 200 connections: ${held_root:-failed} ms" test -n "$held_root"
check "vcctl probe as user 1001 while user 1000 holds 200 connections" \
  sh -c "su user2 -c 'VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine probe' | grep -q '^probe.controller\[0\]: '"
wait $hold_pid
info "holder: $(tr '\n' ' ' </tmp/hold.out)"
check "user 1000 kept at most 4 of its 200 connections" \
  sh -c "held=\$(sed -n 's/^held=\([0-9]*\) of 200/\1/p' /tmp/hold.out); [ -n \"\$held\" ] && [ \$held -le 4 ]"
refusals=$(grep -c 'refused uid=1000:' /tmp/helper.log)
summaries=$(grep -c 'velocore-driverd\[[0-9]*\]: uid=1000: [0-9]* more lines in 10000 ms not logged' /tmp/helper.log)
info "refusal lines for uid 1000: $refusals, summary lines: $summaries ($(grep -o 'uid=1000: [0-9]* more lines' /tmp/helper.log | tr '\n' ' '))"
check "the refusals of uid 1000 are logged in a burst and a summary line" \
  sh -c "[ $summaries -ge 1 ] && [ $refusals -le 15 ]"
su user -c "socket-load flood $socket 4 6" >/tmp/flood.out 2>&1 &
flood_pid=$!
sleep 2
flooded_user2=$(timed_probe user2)
flooded_root=$(timed_probe root)
wait $flood_pid
info "flooder: $(cat /tmp/flood.out)"
check "user 1001's probe while user 1000 floods probes on 4 connections: ${flooded_user2:-failed} ms" \
  test -n "$flooded_user2"
check "root's probe while user 1000 floods: ${flooded_root:-failed} ms" test -n "$flooded_root"
# 4a. Sixteen members hold 4 connections each (all 64 member slots), each
# with a probe every 3 s so that none idles out: another member still gets
# in (the uid holding the most gives up its longest-idle connection) and is
# answered.
slots_taken() {
  local i pids= answered
  for i in $(seq 0 15); do
    su keeper$i -c "socket-load keep $socket 4 7" >/tmp/keep-$i.out 2>&1 &
    pids="$pids $!"
  done
  sleep 3
  answered=$(timed_probe user2)
  check "user 1001's probe while 16 members hold 4 connections each: ${answered:-failed} ms" test -n "$answered"
  check "vcctl probe as user 1001 while 16 members hold 4 connections each" \
    sh -c "su user2 -c 'VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine probe' | grep -q '^probe.controller\[0\]: '"
  wait $pids
  info "the 16 holders: $(cat /tmp/keep-*.out | tr '\n' ' ')"
}

# 4b. A member sends malformed headers for 6 s: the log gains no more than
# the per-uid limit (5 lines a window, and one line counting the rest).
# Meanwhile other members send requests at the idle limit, 4.95-5.05 s
# after its last answer: each is answered (the client sends once more what
# the helper closed unread).
garbage_and_late() {
  local before after added ms pids= i
  # A fresh helper: no window of uid 1000's earlier lines still open.
  start_helper --clockgen-address 0x50
  before=$(grep -c 'uid=1000' /tmp/helper.log)
  su user -c "socket-load garbage $socket 6" >/tmp/garbage.out 2>&1 &
  pids=$!
  # One member each (a member holds at most 4 connections).
  i=0
  for ms in 4950 4975 5000 5010 5025 5050; do
    su keeper$i -c "socket-load late $socket $ms" >/tmp/late-$ms.out 2>&1 &
    pids="$pids $!"; i=$((i + 1))
  done
  wait $pids
  # The count of what was held back comes once the 10 s window has ended.
  sleep 5
  socket-load probe $socket >/dev/null
  after=$(grep -c 'uid=1000' /tmp/helper.log)
  added=$((after - before))
  info "malformed-header flood by uid 1000: $(cat /tmp/garbage.out), $added log lines ($(grep -o 'uid=1000: [0-9]* more lines' /tmp/helper.log | tail -1))"
  check "a 6 s malformed-header flood added $added log lines (at most 5 and a count)" test "$added" -le 6
  for ms in 4950 4975 5000 5010 5025 5050; do
    check "a request $ms ms after the last answer is answered ($(cat /tmp/late-$ms.out))" grep -q '^late=answered' /tmp/late-$ms.out
  done
}

# 4c. A member connects and closes as fast as it can: root's and another
# member's probe are still answered; their times are INFO lines.
connect_storm() {
  local storm root_ms member_ms
  su user -c "socket-load storm $socket 4" >/tmp/storm.out 2>&1 &
  storm=$!
  sleep 1.5
  root_ms=$(timed_probe root)
  member_ms=$(timed_probe user2)
  wait $storm
  info "connect storm by uid 1000 ($(cat /tmp/storm.out)): root's probe ${root_ms:-failed} ms, user 1001's ${member_ms:-failed} ms (quiet: ${quiet:-?} ms)"
  check "root's and a member's probe answered during a connect storm" test -n "$root_ms" -a -n "$member_ms"
}
slots_taken
garbage_and_late
connect_storm
check "a user outside the group is refused by the socket and vcctl probe fails" \
  sh -c "! su outsider -c 'VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine probe' >/dev/null 2>&1"

# 4b. Out of reach, each case said with what to do, nothing written: a user
# outside the group (the socket refuses them; then a socket open to all,
# where the helper does), and a socket nobody listens on. A member still
# applies afterwards.
out_of_reach() {  # out_of_reach NAME USER EXPECTED-EXIT TEXT VCCTL-COMMAND...
  local name=$1 who=$2 want=$3 text=$4 rc; shift 4
  i2cset -y $adapter 0x50 0x00 0x00 && i2cset -y $adapter 0x50 0x01 0x00
  su $who -c "VELOCORE_DRIVER_SOCKET=$socket vcctl --dir /data/$machine $*" >/tmp/$name.out 2>/tmp/$name.err
  rc=$?
  sed "s/^/INFO $machine $name (exit $rc): /" /tmp/$name.err
  [ $rc -eq "$want" ] && grep -qF -- "$text" /tmp/$name.err && eeprom_holds 0x00 0x00
}
start_helper --clockgen-address 0x50
check "a user outside the group: detect apply says to join the group, writes nothing (exit 1)" \
  out_of_reach outsider-detect outsider 1 "run \`sudo usermod -aG velocore outsider\`, then log out and in again" \
  detect apply
check "the same user's probe (exit 3)" \
  out_of_reach outsider-probe outsider 3 "sudo usermod -aG velocore outsider" probe
group_mode=$socket_mode
socket_mode=0666
start_helper --clockgen-address 0x50
check "a socket open to all: the helper refuses the outsider, probe says so (exit 3)" \
  out_of_reach outsider-refused outsider 3 "velocore-driverd refused this program" probe
check "velocore-driverd logged the refusal of uid 1002" grep -q "refused uid=1002 " /tmp/helper.log
socket_mode=$group_mode
start_helper --clockgen-address 0x50
kill "$helper_pid" && wait "$helper_pid" 2>/dev/null
helper_pid=
check "a socket nobody listens on: probe points at the socket unit (exit 3)" \
  out_of_reach nobody-listens user 3 "systemctl status velocore-driverd.socket" probe
start_helper --clockgen-address 0x50
check "a member still applies" run_vcctl member
expected_member=$(applied_byte member)
check "the member's write reached the EEPROM at 0x50: 01 ${expected_member:-?}" \
  eeprom_holds 0x01 "${expected_member:-none}"

# 5. vcctl board-id last, its block read being the last transfer.
start_helper --clockgen-address 0x50
check "vcctl board-id as user 1000 names the controller the probe saw (i2c-dev)" board_id i2c

[ -n "$helper_pid" ] && kill "$helper_pid"
[ $failed -eq 0 ] || sed "s/^/INFO $machine helper: /" /tmp/helper.log
