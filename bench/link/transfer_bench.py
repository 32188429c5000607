#!/usr/bin/env python3
"""Configuration transfer over a pseudo-terminal at 115200 Bd.

Runs tamlo-sim --pty --baud 115200 as its own process and the console tool
against it:
  1. config-write of an 8 KiB image, then config-read of it;
  2. identify against a silent device (the 30 s handshake time-out).
For each run: the tool's wall time, the bytes that crossed the line both ways
(reported by the tool under TAMLO_WIRE_STATS), the wire-time bound (all bytes
x 10 bits / 115200 Bd), their ratio, and the tool's CPU time (user + system)
as a share of its wall time.

usage: bench/link/transfer_bench.py [BUILD_DIR]   (default: build)
Goals: ratio >= 0.90 and CPU <= 5 % for the transfer, CPU <= 2 % for the time-out.
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


def run_tool(cli, args):
    env = dict(os.environ, TAMLO_WIRE_STATS="1")
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    proc = subprocess.run([cli] + args, env=env, capture_output=True, text=True)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    m = re.search(r"wire: sent (\d+) bytes, received (\d+) bytes, port open (\d+) ms", proc.stderr)
    sent, received, open_ms = (int(m.group(i)) for i in (1, 2, 3)) if m else (0, 0, 0)
    return {"status": proc.returncode, "wall": wall, "cpu": cpu, "sent": sent, "received": received,
            "open_ms": open_ms, "stderr": proc.stderr}


def report(name, r):
    wire = (r["sent"] + r["received"]) * 10 / BAUD
    print(f"{name}: exit {r['status']}, wall {r['wall']:.3f} s (port open {r['open_ms'] / 1000:.3f} s), "
          f"bytes {r['sent']} + {r['received']}, wire bound {wire:.3f} s, "
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

        s = Sim(sim, os.path.join(tmp, "tty"), [])
        try:
            w = run_tool(cli, ["--port", s.path, "config-write", image_path])
            r = run_tool(cli, ["--port", s.path, "config-read", back_path])
        finally:
            s.stop()
        report("config-write 8 KiB", w)
        report("config-read 8 KiB", r)
        both = {k: w[k] + r[k] for k in ("wall", "cpu", "sent", "received", "open_ms")}
        both["status"] = w["status"] or r["status"]
        report("write + read", both)
        with open(back_path, "rb") as f:
            back = f.read()
        same = back[:24] == image[:24] and back[32:] == image[32:]
        print(f"read back {len(back)} bytes, same as written (header stamp aside): {same}")
        if w["status"] or r["status"] or not same:
            print(w["stderr"], r["stderr"], file=sys.stderr)

        s = Sim(sim, os.path.join(tmp, "tty2"), ["--silent"])
        try:
            t = run_tool(cli, ["--port", s.path, "identify"])
        finally:
            s.stop()
        report("silent device (30 s time-out)", t)


if __name__ == "__main__":
    main()
