#!/usr/bin/env bash
# Starts the configurator on a virtual X screen, lets it paint and saves a PNG
# of the screen.
# usage: scripts/screenshot.sh OUT.png [BUILD_DIR [FILE.tamlo [STEPS [ARG...]]]]
# BUILD_DIR defaults to build (as scripts/run.sh leaves it); it must hold
# bin/tamlocfg, or bin/tamlocfg.exe of the Windows build, which runs under
# wine with Qt's windows platform (the build's own wine prefix). FILE is
# opened at start ("" for none). STEPS are done in order
# before the picture is taken, separated by spaces: X,Y clicks that screen
# point (a node of the tree, to show its page; a link label), key:NAME presses
# a key (key:Return closes a message box). The ARGs go to tamlocfg (--demo).
# TAMLO_SCREENSHOT_WINDOW: see below.
set -euo pipefail
out=${1:?usage: scripts/screenshot.sh OUT.png [BUILD_DIR]}
cd "$(dirname "$0")/.."
build=${2:-build}
file=${3:-}
steps=${4:-}
program_args=("${@:5}")
program=$build/bin/tamlocfg
runner=()
platform=xcb
if [ ! -x "$program" ] && [ -f "$program.exe" ]; then
  qt=$(realpath "$(sed -n 's/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt")/../../..")  # <prefix>/lib/cmake/Qt6
  dll_dirs="Z:$qt/bin"
  for dll in libstdc++-6.dll libwinpthread-1.dll; do
    dll_dirs="$dll_dirs;Z:$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")")"
  done
  export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEPATH="$dll_dirs"
  program=$program.exe
  runner=(wine)
  platform=windows
fi
[ -e "$program" ] || { echo "screenshot: $program not built (run scripts/run.sh or cmake --build $build)"; exit 1; }
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
  [ ${#runner[@]} -eq 0 ] || wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do
  xdpyinfo -display :$display >/dev/null 2>&1 && break
  sleep 0.1
done

# wine's own services start with the first program of a session: not ours.
[ ${#runner[@]} -eq 0 ] || DISPLAY=:$display wine cmd /c exit </dev/null >/dev/null 2>&1
DISPLAY=:$display QT_QPA_PLATFORM=$platform ASAN_OPTIONS=detect_leaks=0 "${runner[@]}" "$program" "${program_args[@]}" ${file:+"$file"} \
  >/dev/null 2>&1 &
app_pid=$!
sleep "${TAMLO_SCREENSHOT_DELAY:-3}"
kill -0 "$app_pid" 2>/dev/null || { echo "screenshot: tamlocfg exited early"; exit 1; }
for step in $steps; do
  case "$step" in
    key:*) DISPLAY=:$display xdotool key "${step#key:}" ;;
    *,*) DISPLAY=:$display xdotool mousemove "${step%,*}" "${step#*,}" click 1 mousemove 1000 620 ;;
    *) echo "screenshot: unknown step $step"; exit 1 ;;
  esac
  sleep "${TAMLO_SCREENSHOT_STEP_DELAY:-1}"
done
xwd -root -display :$display -silent | convert xwd:- png:"$out"
# Windows other than the main window come out black in the root picture of
# this X server; TAMLO_SCREENSHOT_WINDOW names one (by its title) to take on
# its own and paste in at its place.
if [ -n "${TAMLO_SCREENSHOT_WINDOW:-}" ]; then
  id=$(DISPLAY=:$display xdotool search --name "$TAMLO_SCREENSHOT_WINDOW" | head -1)
  [ -n "$id" ] || { echo "screenshot: no window \"$TAMLO_SCREENSHOT_WINDOW\""; exit 1; }
  eval "$(DISPLAY=:$display xdotool getwindowgeometry --shell "$id")"  # X, Y
  window_png=$(mktemp --suffix=.png)
  xwd -id "$id" -display :$display -silent | convert xwd:- png:"$window_png"
  convert "$out" "$window_png" -geometry "+$X+$Y" -composite "$out"
  rm -f "$window_png"
fi
echo "screenshot: $out"
