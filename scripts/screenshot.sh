#!/usr/bin/env bash
# Starts the configurator on a virtual X screen, lets it paint and saves a PNG
# of the screen.
# usage: scripts/screenshot.sh OUT.png [BUILD_DIR [FILE.tamlo [X,Y]]]
# BUILD_DIR defaults to build (as scripts/run.sh leaves it); it must hold
# bin/tamlocfg. FILE is opened at start; X,Y is a screen point clicked before
# the picture is taken (a node of the tree, to show its page).
set -euo pipefail
out=${1:?usage: scripts/screenshot.sh OUT.png [BUILD_DIR]}
cd "$(dirname "$0")/.."
build=${2:-build}
file=${3:-}
click=${4:-}
program=$build/bin/tamlocfg
[ -x "$program" ] || { echo "screenshot: $program not built (run scripts/run.sh or cmake --build $build)"; exit 1; }
case "$out" in /*) ;; *) out=$OLDPWD/$out ;; esac
case "$file" in /*|"") ;; *) file=$OLDPWD/$file ;; esac

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

DISPLAY=:$display QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$program" ${file:+"$file"} >/dev/null 2>&1 &
app_pid=$!
sleep "${TAMLO_SCREENSHOT_DELAY:-3}"
kill -0 "$app_pid" 2>/dev/null || { echo "screenshot: tamlocfg exited early"; exit 1; }
if [ -n "$click" ]; then
  DISPLAY=:$display xdotool mousemove "${click%,*}" "${click#*,}" click 1 mousemove 1000 620
  sleep 1
fi
xwd -root -display :$display -silent | convert xwd:- png:"$out"
echo "screenshot: $out"
