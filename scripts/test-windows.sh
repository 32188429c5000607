#!/usr/bin/env bash
# The Windows cross-build (preset windows-cross-gui: MinGW-w64, static
# programs, the configurator against the Qt that scripts/build-qt-windows.sh
# builds once and keeps) and its tests, run by ctest under wine in a private
# wine prefix inside the build folder, the Qt tests on Qt's windows platform
# on a virtual X screen; then the Windows console tool end to end against the
# simulator, and the NSIS installer with everything a shipped file loads.
# Installs what is missing first.
# usage: scripts/test-windows.sh [CTEST ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build ccache googletest g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis \
  binutils-mingw-w64-x86-64 qt6-translations-l10n xvfb x11-utils

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
started=$(date +%s)
TAMLO_QT_WINDOWS=$(scripts/build-qt-windows.sh | tail -1)
export TAMLO_QT_WINDOWS
echo "test-windows: Qt for Windows in $TAMLO_QT_WINDOWS ($(($(date +%s) - started)) s)"

build=build-windows-gui  # the preset's binaryDir
cmake --preset windows-cross-gui
cmake --build --preset windows-cross-gui

# One prefix per build folder, made once: the first wineboot takes a while.
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: creating the wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# The Qt tests run on Qt's windows platform, drawn by wine on a virtual X
# screen of their own (the first free display number).
display=90
while [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  xdpyinfo -display :$display >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=:$display
# A running wineserver keeps the prefix warm for the test programs.
wineserver -p 2>/dev/null || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true' EXIT
# The first program of a session starts wine's own services, which live on
# holding that program's output: under ctest the first test would then never
# end. Started here, their output goes nowhere.
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset windows-cross-gui -j "$(nproc)" "$@"

# End to end: the Windows tool through wine's COM1 against the simulator,
# beside the Linux tool (the no-Qt build's, made here when missing).
if [ ! -x build-nogui/bin/tamlo-sim ] || [ ! -x build-nogui/bin/tamlocfg-cli ]; then
  cmake --preset nogui
  cmake --build --preset nogui --target tamlocfg-cli tamlo-sim
fi
scripts/windows-e2e.sh build-nogui/bin "$build/bin"

# The installer, made by Debian's makensis: the configurator with its Start
# menu entry, the console tool, the event code list and the README.
rm -f "$build"/tamlocfg-*-win64.exe
(cd "$build" && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/tamlocfg-*-win64.exe)
staged="$build/_CPack_Packages/win64/NSIS/$(basename "$installer" .exe)"
for path in bin/tamlocfg.exe bin/tamlocfg-cli.exe bin/platforms/qwindows.dll share/tamlocfg/ademco.txt README.md; do
  [ -f "$staged/$path" ] || { echo "test-windows: the installer lacks $path" >&2; exit 1; }
done
# Every DLL a shipped program or library imports is shipped beside it or is
# one of the system's own (wine's system folder holds those).
system32="$WINEPREFIX/drive_c/windows/system32"
missing=0
while IFS= read -r -d '' file; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    lower=${dll,,}
    if [ ! -f "$staged/bin/$dll" ] && [ ! -f "$system32/$lower" ] && [[ $lower != api-ms-win-* ]]; then
      echo "test-windows: ${file#"$staged"/} loads $dll, which the installer lacks" >&2
      missing=1
    fi
  done
done < <(find "$staged" \( -name '*.exe' -o -name '*.dll' \) -print0)
[ $missing -eq 0 ] || exit 1
grep -q 'TamloCfg.lnk' "$build/_CPack_Packages/win64/NSIS/project.nsi" ||
  { echo "test-windows: the installer makes no Start-menu entry" >&2; exit 1; }
echo "test-windows: installer $installer ($(stat -c %s "$installer") bytes)"
