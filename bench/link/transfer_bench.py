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

With --windows the same runs follow with the Windows console tool
(WIN_BIN_DIR/tamlocfg-cli.exe, default build-windows/bin) under wine, its
COM1 mapped to the simulator's pseudo-terminal, in the wine prefix named by
WINEPREFIX or else WIN_BIN_DIR/../wine-prefix (made when missing, as
scripts/test-windows.sh makes it). Wine's services and a persistent
wineserver are started, and the tool run once, before anything is timed; the
Windows wall time is the whole `wine tamlocfg-cli.exe` run, wine's start of
the process included, its CPU time that process's alone (wineserver's is not
counted); the port-open time is the tool's own. The ratios to the wire bound
then say what a Windows user would see at most.

usage: bench/link/transfer_bench.py [BUILD_DIR] [--windows [WIN_BIN_DIR]]   (default: build)
Goals: ratio >= 0.95 for each transfer (both config-writes and the read),
CPU <= 5 % for the transfers, CPU <= 2 % for the time-out.
"""
import os
import re
import resource
import shutil
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


def run_tool(tool, args, env, cwd):
    env = dict(env, TAMLO_WIRE_STATS="1")
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    proc = subprocess.run(tool + args, env=env, capture_output=True, text=True, errors="replace", cwd=cwd)
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


class Wine:
    """The Windows tool under wine in a private prefix, COM1 mapped to one
    simulator's terminal at a time."""

    def __init__(self, win_bin):
        self.exe = os.path.abspath(os.path.join(win_bin, "tamlocfg-cli.exe"))
        if not os.path.isfile(self.exe):
            sys.exit(f"{self.exe} is missing (cmake --build --preset windows-cross --target tamlocfg-cli)")
        prefix = os.environ.get("WINEPREFIX") or os.path.join(os.path.dirname(os.path.abspath(win_bin)), "wine-prefix")
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        if not os.path.isfile(os.path.join(prefix, "system.reg")):
            print(f"creating the wine prefix {prefix}", file=sys.stderr)
            self.quiet(["wineboot", "-i"])
            self.quiet(["wineserver", "-w"])

    def quiet(self, command):
        subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def map_com1(self, pty):
        """COM1 to `pty`; wine reads the mapping when it starts, so it is
        restarted, kept running and warmed up: none of this is timed."""
        self.quiet(["wine", "reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM1", "/d", pty, "/f"])
        self.quiet(["wineserver", "-k"])
        self.quiet(["wineserver", "-p"])
        self.quiet(["wine", "cmd", "/c", "exit"])
        self.quiet(["wine", self.exe, "--help"])

    def stop(self):
        self.quiet(["wineserver", "-k"])


def transfers(tool, sim, tmp, tag, port_of, env):
    """The three transfers of the 8 KiB image and the silent device with
    TOOL (an argument list); port_of(pty) gives the tool's port name for a
    simulator's terminal; ENV the tool's environment. Files are named
    relative to tmp, the tools' current folder. Returns the runs with
    backup, --no-backup, the read, the time-out, and the image read back."""
    s = Sim(sim, os.path.join(tmp, tag + "-tty"), [])
    try:
        port = port_of(s.path)
        back = tag + "-back.tamlo"
        wb = run_tool(tool, ["--port", port, "config-write", "image.tamlo"], env, tmp)
        w = run_tool(tool, ["--port", port, "config-write", "--no-backup", "image.tamlo"], env, tmp)
        r = run_tool(tool, ["--port", port, "config-read", back], env, tmp)
    finally:
        s.stop()
    s = Sim(sim, os.path.join(tmp, tag + "-tty2"), ["--silent"])
    try:
        t = run_tool(tool, ["--port", port_of(s.path), "identify"], env, tmp)
    finally:
        s.stop()
    back_path = os.path.join(tmp, back)
    read_back = open(back_path, "rb").read() if os.path.exists(back_path) else b""
    return wb, w, r, t, read_back


def ratio(r):
    return wire_seconds(r) / r["wall"]


def report_all(tag, runs, image):
    wb, w, r, t, back = runs
    report(f"{tag} config-write 8 KiB with backup", wb)
    report(f"{tag} config-write 8 KiB --no-backup", w)
    report(f"{tag} config-read 8 KiB", r)
    both = {k: w[k] + r[k] for k in ("wall", "cpu", "sent", "received", "open_ms", "exchanges")}
    both["status"] = w["status"] or r["status"]
    report(f"{tag} write (--no-backup) + read", both)
    print(f"{tag} config-write side by side: " + " | ".join(
        f"{name}: {r_['sent'] + r_['received']} bytes, wire bound {wire_seconds(r_):.3f} s, "
        f"wall {r_['wall']:.3f} s, ratio {ratio(r_):.3f} (goal 0.95)"
        for name, r_ in (("with backup", wb), ("--no-backup", w))))
    same = back[:24] == image[:24] and back[32:] == image[32:]
    print(f"{tag} read back {len(back)} bytes, same as written (header stamp aside): {same}")
    failed = wb["status"] or w["status"] or r["status"] or not same
    if failed:
        print(wb["stderr"], w["stderr"], r["stderr"], file=sys.stderr)
    report(f"{tag} silent device (30 s time-out)", t)
    return not failed


def main():
    args = sys.argv[1:]
    win_bin = None
    if "--windows" in args:
        at = args.index("--windows")
        win_bin = "build-windows/bin"
        if at + 1 < len(args) and not args[at + 1].startswith("-"):
            win_bin = args.pop(at + 1)
        args.pop(at)
    build = args[0] if args else "build"
    cli = os.path.abspath(os.path.join(build, "bin", "tamlocfg-cli"))
    sim = os.path.abspath(os.path.join(build, "bin", "tamlo-sim"))
    if win_bin and not shutil.which("wine"):
        sys.exit("wine is not installed (scripts/install-deps.sh wine wine64)")
    with tempfile.TemporaryDirectory() as tmp:
        image = make_image(8192)
        with open(os.path.join(tmp, "image.tamlo"), "wb") as f:
            f.write(image)
        # The backups of config-write go to a folder of their own on Linux,
        # to the prefix's %APPDATA% under wine.
        data_home = dict(os.environ, XDG_DATA_HOME=os.path.join(tmp, "data"))
        linux = transfers([cli], sim, tmp, "linux", lambda pty: pty, data_home)
        ok = report_all("Linux", linux, image)
        if not win_bin:
            return 0 if ok else 1
        wine = Wine(win_bin)
        try:
            def com1(pty):
                wine.map_com1(pty)
                return "COM1"
            windows = transfers(["wine", wine.exe], sim, tmp, "windows", com1, wine.env)
        finally:
            wine.stop()
        print("Windows under wine: wall = the whole wine run of the tool, wine's start of the process included "
              "(wine's services, the wineserver and one untimed run before); CPU = the tool's process, "
              "not wineserver")
        ok = report_all("Windows", windows, image) and ok
        names = ("config-write with backup", "config-write --no-backup", "config-read")
        print("ratio to the wire bound, Linux | Windows under wine: " + "; ".join(
            f"{name} {ratio(a):.3f} | {ratio(b):.3f}" for name, a, b in zip(names, linux, windows)))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
