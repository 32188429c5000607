#!/usr/bin/env python3
"""Configurator start-up: time from process start to the main window's first
paint, and the process's peak memory.

Runs tamlocfg on the offscreen platform (no X server needed) with
TAMLO_BENCH_STARTUP set, which makes it report its first paint on standard
error and end (app/startup_probe.h):
  1. tamlocfg               the first paint, then the end;
  2. tamlocfg --demo        the first paint, then a configuration read from the
                            demo device (115200 Bd, real time), then the end.
Each is run REPEAT times; the best start-up time and the largest peak memory
(the process's maximum resident set) are printed.

usage: bench/gui/startup_bench.py [BUILD_DIR [REPEAT]]   (default: build, 5)
Goals: under 0.5 s to the first paint and under 80 MiB peak memory.
"""
import os
import subprocess
import sys
import tempfile
import time


def run_once(program, args, home):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TAMLO_BENCH_STARTUP="1", HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, ".config"), ASAN_OPTIONS="detect_leaks=0")
    start = time.monotonic()
    child = subprocess.Popen([program] + args, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    painted = None
    done = None
    for raw in child.stderr:
        line = raw.decode(errors="replace").strip()
        if line == "first-paint" and painted is None:
            painted = time.monotonic() - start
        elif line == "action-done":
            done = time.monotonic() - start
        elif line == "action-failed":
            sys.exit(f"startup_bench: {program} {' '.join(args)}: the configuration read failed")
    _, status, usage = os.wait4(child.pid, 0)
    if painted is None or status != 0:
        sys.exit(f"startup_bench: {program} {' '.join(args)} ended without a first paint (status {status})")
    return painted, done, usage.ru_maxrss / 1024.0  # ru_maxrss is in KiB on Linux


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    repeat = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    program = os.path.join(build, "bin", "tamlocfg")
    if not os.access(program, os.X_OK):
        sys.exit(f"startup_bench: {program} not built")
    with tempfile.TemporaryDirectory() as home:
        for label, args in (("tamlocfg", []), ("tamlocfg --demo, configuration read", ["--demo"])):
            runs = [run_once(program, args, home) for _ in range(repeat)]
            paint = min(r[0] for r in runs)
            peak = max(r[2] for r in runs)
            line = f"{label:38s} first paint {paint * 1000:6.0f} ms   peak memory {peak:6.1f} MiB"
            if runs[0][1] is not None:
                line += f"   read done after {min(r[1] for r in runs):5.2f} s"
            print(line)


if __name__ == "__main__":
    main()
