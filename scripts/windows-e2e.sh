#!/usr/bin/env bash
# The Windows console tool against the simulated device through wine's serial
# port mapping (COM1 -> a simulator's pseudo-terminal), beside the Linux tool
# against a simulator started the same way: identify, config-read,
# config-write with its backup and --verify, the journal as HTML and as a
# text table (the HTML under a Cyrillic name), and fw-update from the running
# firmware through the bootloader. Each file the two tools make, fw-update's
# output and exit status and the firmware each simulator received must be
# the same bytes; the firmware must be the file padded to whole XMODEM
# blocks, and the Windows transfer must not wait a read time-out per block.
# Called by scripts/test-windows.sh with WINEPREFIX ready and wine warm.
# usage: scripts/windows-e2e.sh HOST_BIN_DIR WINDOWS_BIN_DIR
set -euo pipefail
host=$(realpath "$1")
win=$(realpath "$2")
root=$PWD
work=$(mktemp -d)
# Each simulator leaves its process id in its folder: start_sim runs in a
# command substitution, whose variables the script never sees.
cleanup() {
  for pid_file in "$work"/*/sim.pid; do kill "$(cat "$pid_file")" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A simulator in DIR with a fixed clock and journal, and DIR/device.tamlo as
# its stored configuration when that exists; prints its terminal.
start_sim() {
  local dir=$1
  "$host/tamlo-sim" --pty --baud 0 --time 01.02.2026-10:00:00 --journal "$root/tests/journal/data/examples.bin" \
    --config "$dir/device.tamlo" --firmware-out "$dir/firmware.img" >"$dir/sim.out" 2>"$dir/sim.err" &
  echo $! >"$dir/sim.pid"
  for _ in $(seq 100); do [ -s "$dir/sim.out" ] && break; sleep 0.1; done
  head -1 "$dir/sim.out"
}

# The same commands through TOOL... in the current folder.
run_all() {
  "$@" identify >identify.txt 2>>log.txt
  "$@" config-read first.tamlo >/dev/null 2>>log.txt
  "$@" config-write first.tamlo --verify >/dev/null 2>>log.txt
  "$@" journal "Журнал объекта.htm" >/dev/null 2>>log.txt
  "$@" journal journal.txt >/dev/null 2>>log.txt
  local status=0
  "$@" fw-update "$root_firmware" >fw-update.txt 2>>log.txt || status=$?
  echo "$status" >fw-update.status
}

mkdir -p "$work/seed" "$work/linux/data" "$work/windows"
# The firmware: every byte value (XON, XOFF, CAN, SUB and CR among them)
# twelve times, cut short of the last block.
root_firmware=$work/firmware.fmw
for _ in $(seq 12); do printf "$(printf '\\%03o' $(seq 0 255))"; done | head -c 3000 >"$root_firmware"
# The sample site is stamped when a simulator starts: both get the same copy
# of one.
seed_pty=$(start_sim "$work/seed")
"$host/tamlocfg-cli" --port "$seed_pty" config-read "$work/seed/site.tamlo" >/dev/null 2>&1
cp "$work/seed/site.tamlo" "$work/linux/device.tamlo"
cp "$work/seed/site.tamlo" "$work/windows/device.tamlo"
linux_pty=$(start_sim "$work/linux")
windows_pty=$(start_sim "$work/windows")

(cd "$work/linux" && XDG_DATA_HOME="$work/linux/data" run_all "$host/tamlocfg-cli" --port "$linux_pty")

wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$windows_pty" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wine cmd /c exit </dev/null >/dev/null 2>&1  # wine's services, their output going nowhere
(cd "$work/windows" && run_all wine "$win/tamlocfg-cli.exe" --port COM1)
# The console's text mode ends the Windows tool's lines with CR LF; files are
# written as bytes.
sed -i 's/\r$//' "$work/windows/identify.txt" "$work/windows/fw-update.txt"

for file in identify.txt first.tamlo "Журнал объекта.htm" journal.txt fw-update.txt fw-update.status firmware.img; do
  if ! cmp "$work/linux/$file" "$work/windows/$file"; then
    echo "windows-e2e: $file differs between the Linux and the Windows tool; their logs:" >&2
    cat "$work/linux/log.txt" "$work/windows/log.txt" >&2
    diff <(od -c "$work/linux/$file") <(od -c "$work/windows/$file") | head -20 >&2
    exit 1
  fi
done
# What the bootloader holds is the file and 0x1A up to the next 128 bytes.
if [ "$(cat "$work/linux/fw-update.status")" != 0 ] || [ "$(stat -c %s "$work/linux/firmware.img")" != 3072 ] ||
  ! cmp -n 3000 "$root_firmware" "$work/linux/firmware.img" ||
  [ -n "$(tail -c 72 "$work/linux/firmware.img" | tr -d '\032')" ]; then
  echo "windows-e2e: fw-update did not deliver the file to the bootloader; the log:" >&2
  cat "$work/linux/log.txt" >&2
  exit 1
fi
# 24 blocks, each answered by one ACK: a read that waits out its 100 ms
# time-out for that byte makes the transfer take 2.4 s or more.
transfer_ms=$(sed -n 's/.*first block to final ACK \([0-9]*\)\..*/\1/p' "$work/windows/sim.err")
if [ -z "$transfer_ms" ] || [ "$transfer_ms" -ge 1000 ]; then
  echo "windows-e2e: the Windows tool took $transfer_ms ms for 24 firmware blocks (a read waits out its time-out for each ACK)" >&2
  exit 1
fi
echo "windows-e2e: identify, config-read, config-write --verify, the journal and fw-update (firmware received," \
  "output, exit status; Windows transfer $transfer_ms ms for 24 blocks) are the same on Linux and Windows"
