#!/usr/bin/env python3
"""Firmware update over a pseudo-terminal at 19200 Bd.

Runs tamlo-sim --pty --baud 19200 as its own process, started in its
bootloader, and sends a 64 KiB firmware file to it:
  1. with the console tool (tamlocfg-cli --port PTY fw-update FILE): wake
     string, prompt, "Y", then the XMODEM transfer;
  2. with lrzsz sx (XMODEM, 128-byte blocks, checksum) to the simulator waiting
     in its XMODEM receive state, as the independent peer.
The simulator reports each transfer from its first block to its final ACK:
the time and the bytes both ways. Figures: our time against the wire-time
bound (every byte both ways x 10 bits / 19200 Bd), and our time over sx's.
Both received images must equal the file plus 0x1A padding to 128 bytes.

usage: bench/firmware/firmware_bench.py [BUILD_DIR]   (default: build)
Goals: bound / time >= 0.90; our time / sx time <= 1.05.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

BAUD = 19200
SIZE = 64 * 1024
REPORT = re.compile(r"firmware received: (\d+) bytes, first block to final ACK ([\d.]+) ms, "
                    r"bytes in (\d+), bytes out (\d+), NAKs (\d+)")


def run_transfer(sim, sim_options, sender, workdir, name):
    """Starts the simulator, runs `sender(pty)` and returns the simulator's
    report (ms, bytes in, bytes out) and the image it received."""
    image_path = os.path.join(workdir, name + ".img")
    err_path = os.path.join(workdir, name + ".err")
    with open(err_path, "w") as err:
        proc = subprocess.Popen([sim, "--pty", "--baud", str(BAUD), "--firmware-out", image_path] + sim_options,
                                stdout=subprocess.PIPE, stderr=err, text=True)
        try:
            pty = proc.stdout.readline().strip()
            code = sender(pty)
        finally:
            proc.terminate()
            proc.wait(timeout=10)
    with open(err_path) as err:
        match = REPORT.search(err.read())
    if code != 0 or not match:
        sys.exit(f"{name}: transfer failed (exit {code})")
    with open(image_path, "rb") as f:
        image = f.read()
    return float(match.group(2)), int(match.group(3)), int(match.group(4)), image


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    sim = os.path.join(build, "bin", "tamlo-sim")
    cli = os.path.join(build, "bin", "tamlocfg-cli")
    sx = shutil.which("sx")
    if not sx:
        sys.exit("lrzsz sx is not installed (scripts/install-deps.sh)")
    workdir = tempfile.mkdtemp(prefix="tamlo-fw-bench-")
    firmware = os.path.join(workdir, "firmware.fmw")
    data = bytes((i * 7 + i // 251) & 0xFF for i in range(SIZE))
    with open(firmware, "wb") as f:
        f.write(data)
    expected = data + b"\x1a" * (-len(data) % 128)

    def ours(pty):
        return subprocess.run([cli, "--port", pty, "fw-update", firmware], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode

    def peer(pty):
        with open(pty, "rb", buffering=0) as rx, open(pty, "wb", buffering=0) as tx:
            return subprocess.run([sx, firmware], stdin=rx, stdout=tx, stderr=subprocess.DEVNULL).returncode

    ms, bytes_in, bytes_out, image = run_transfer(sim, ["--bootloader"], ours, workdir, "ours")
    if image != expected:
        sys.exit("ours: the bootloader holds other bytes than the file")
    bound = (bytes_in + bytes_out) * 10 * 1000 / BAUD
    sx_ms, sx_in, sx_out, sx_image = run_transfer(sim, ["--bootloader-receive"], peer, workdir, "sx")
    if sx_image != expected:
        sys.exit("sx: the bootloader holds other bytes than the file")
    shutil.rmtree(workdir, ignore_errors=True)

    print(f"firmware update, {SIZE} bytes at {BAUD} Bd through tamlo-sim --pty")
    print(f"  ours: {ms / 1000:.3f} s first block to final ACK, {bytes_in} + {bytes_out} bytes on the wire")
    print(f"        wire-time bound {bound / 1000:.3f} s, ratio {bound / ms:.3f} (goal >= 0.90)")
    print(f"  sx:   {sx_ms / 1000:.3f} s, {sx_in} + {sx_out} bytes on the wire")
    print(f"        ours / sx = {ms / sx_ms:.3f} (goal <= 1.05)")
    return 0 if bound / ms >= 0.90 and ms / sx_ms <= 1.05 else 1


if __name__ == "__main__":
    sys.exit(main())
