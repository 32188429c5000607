#!/usr/bin/env python3
"""Configuration transfer over a pseudo-terminal at 115200 Bd.

Runs tamlo-sim --pty --baud 115200 as its own process and the console tool
against it:
  1. config-write of an 8 KiB image as the tool does it by default (identify,
     backup read of the device, write: three exchanges) and with --no-backup
     (the write alone), then config-read of it;
  2. identify against a silent device (the 30 s handshake time-out).
For each run: the tool's wall time, the bytes that crossed the line both ways
in all of its exchanges (the tool reports each exchange under
TAMLO_WIRE_STATS), the wire-time bound (all bytes x 10 bits / 115200 Bd),
their ratio, and the tool's CPU time (user + system) as a share of its wall
time.

usage: bench/link/transfer_bench.py [BUILD_DIR]   (default: build)
Goals: ratio >= 0.95 for each transfer (both config-writes and the read),
CPU <= 5 % for the transfers, CPU <= 2 % for the time-out.
"""
import os
import re
import resource
import struct
import subprocess
import sys
import tempfile
import time
import zlib

BAUD = 115200


def make_image(size):
    """A valid .tamlo image of exactly `size` bytes: one long text parameter
    (the device password, id 265) filling the encoded configuration."""
    def varint(v):
        out = bytearray()
        while True:
            b = v & 0x7F
            v >>= 7
            if v:
                out.append(b | 0x80)
            else:
                out.append(b)
                return bytes(out)
    data_len = size - 32
    key = varint(265 * 16 + 4)
    text_len = data_len - len(key) - 2  # a two-byte length varint
    text = bytes((0x41 + i % 26) for i in range(text_len - 1)) + b"\0"
    data = key + varint(text_len) + text
    assert len(data) == data_len, (len(data), data_len)
    crc_register = zlib.crc32(data) ^ 0xFFFFFFFF  # the register, not complemented
    header = struct.pack("<4sIIIIIII", b"TAM0", 0x0001000D, data_len, crc_register, data_len, 0, 0, 0)
    return header + data


class Sim:
    def __init__(self, sim, link, options):
        self.proc = subprocess.Popen([sim, "--pty", "--link", link, "--baud", str(BAUD)] + options,
                                     stdout=subprocess.PIPE, text=True)
        self.path = self.proc.stdout.readline().strip()

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


WIRE_LINE = re.compile(r"wire: sent (\d+) bytes, received (\d+) bytes, port open (\d+) ms")


def wire_totals(stderr):
    """The sums over every exchange the tool reported: bytes sent, bytes
    received, milliseconds the port was open, and the number of exchanges."""
    lines = WIRE_LINE.findall(stderr)
    return (sum(int(m[0]) for m in lines), sum(int(m[1]) for m in lines), sum(int(m[2]) for m in lines),
            len(lines))


def run_tool(cli, args, env_extra=None):
    env = dict(os.environ, TAMLO_WIRE_STATS="1", **(env_extra or {}))
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    proc = subprocess.run([cli] + args, env=env, capture_output=True, text=True)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    sent, received, open_ms, exchanges = wire_totals(proc.stderr)
    return {"status": proc.returncode, "wall": wall, "cpu": cpu, "sent": sent, "received": received,
            "open_ms": open_ms, "exchanges": exchanges, "stderr": proc.stderr}


def wire_seconds(r):
    return (r["sent"] + r["received"]) * 10 / BAUD


def report(name, r):
    wire = wire_seconds(r)
    print(f"{name}: exit {r['status']}, {r['exchanges']} exchange(s), wall {r['wall']:.3f} s "
          f"(port open {r['open_ms'] / 1000:.3f} s), bytes {r['sent']} + {r['received']}, wire bound {wire:.3f} s, "
          f"ratio {wire / r['wall']:.3f} (port-open ratio {wire / max(r['open_ms'] / 1000, 1e-9):.3f}), "
          f"CPU {r['cpu']:.3f} s = {100 * r['cpu'] / r['wall']:.2f} % of wall")
    return wire


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    cli = os.path.join(build, "bin", "tamlocfg-cli")
    sim = os.path.join(build, "bin", "tamlo-sim")
    with tempfile.TemporaryDirectory() as tmp:
        image_path = os.path.join(tmp, "image.tamlo")
        back_path = os.path.join(tmp, "back.tamlo")
        image = make_image(8192)
        with open(image_path, "wb") as f:
            f.write(image)

        # The backups of config-write go to a folder of their own.
        data_home = {"XDG_DATA_HOME": os.path.join(tmp, "data")}
        s = Sim(sim, os.path.join(tmp, "tty"), [])
        try:
            wb = run_tool(cli, ["--port", s.path, "config-write", image_path], data_home)
            w = run_tool(cli, ["--port", s.path, "config-write", "--no-backup", image_path], data_home)
            r = run_tool(cli, ["--port", s.path, "config-read", back_path])
        finally:
            s.stop()
        report("config-write 8 KiB with backup", wb)
        report("config-write 8 KiB --no-backup", w)
        report("config-read 8 KiB", r)
        both = {k: w[k] + r[k] for k in ("wall", "cpu", "sent", "received", "open_ms", "exchanges")}
        both["status"] = w["status"] or r["status"]
        report("write (--no-backup) + read", both)
        print("config-write side by side: " + " | ".join(
            f"{name}: {r_['sent'] + r_['received']} bytes, wire bound {wire_seconds(r_):.3f} s, "
            f"wall {r_['wall']:.3f} s, ratio {wire_seconds(r_) / r_['wall']:.3f} (goal 0.95)"
            for name, r_ in (("with backup", wb), ("--no-backup", w))))
        with open(back_path, "rb") as f:
            back = f.read()
        same = back[:24] == image[:24] and back[32:] == image[32:]
        print(f"read back {len(back)} bytes, same as written (header stamp aside): {same}")
        if wb["status"] or w["status"] or r["status"] or not same:
            print(wb["stderr"], w["stderr"], r["stderr"], file=sys.stderr)

        s = Sim(sim, os.path.join(tmp, "tty2"), ["--silent"])
        try:
            t = run_tool(cli, ["--port", s.path, "identify"])
        finally:
            s.stop()
        report("silent device (30 s time-out)", t)


if __name__ == "__main__":
    main()
