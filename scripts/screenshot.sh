#!/usr/bin/env bash
# Starts the configurator on a virtual X screen, lets it paint and saves a PNG
# of the screen.
# usage: scripts/screenshot.sh OUT.png [BUILD_DIR]
# BUILD_DIR defaults to build (as scripts/run.sh leaves it); it must hold
# bin/tamlocfg.
set -euo pipefail
out=${1:?usage: scripts/screenshot.sh OUT.png [BUILD_DIR]}
cd "$(dirname "$0")/.."
build=${2:-build}
program=$build/bin/tamlocfg
[ -x "$program" ] || { echo "screenshot: $program not built (run scripts/run.sh or cmake --build $build)"; exit 1; }
case "$out" in /*) ;; *) out=$OLDPWD/$out ;; esac

# A free display number: the first without a lock file.
display=99
while [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done

Xvfb :$display -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do
  xdpyinfo -display :$display >/dev/null 2>&1 && break
  sleep 0.1
done

DISPLAY=:$display QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$program" >/dev/null 2>&1 &
app_pid=$!
sleep "${TAMLO_SCREENSHOT_DELAY:-3}"
kill -0 "$app_pid" 2>/dev/null || { echo "screenshot: tamlocfg exited early"; exit 1; }
xwd -root -display :$display -silent | convert xwd:- png:"$out"
echo "screenshot: $out"
