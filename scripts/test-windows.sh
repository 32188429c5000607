#!/usr/bin/env bash
# The Windows cross-build without Qt (preset windows-cross: MinGW-w64, static
# programs) and its tests, run by ctest under wine in a private, headless
# wine prefix inside the build folder; then the Windows console tool end to
# end against the simulator, and the NSIS installer of the console tool.
# Installs what is missing first.
# usage: scripts/test-windows.sh [CTEST ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build ccache googletest g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis

build=build-windows  # the preset's binaryDir
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake --preset windows-cross
cmake --build --preset windows-cross

# One prefix per build folder, made once: the first wineboot takes a while.
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: creating the wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# A running wineserver keeps the prefix warm for the test programs.
wineserver -p 2>/dev/null || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true' EXIT
# The first program of a session starts wine's own services, which live on
# holding that program's output: under ctest the first test would then never
# end. Started here, their output goes nowhere.
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset windows-cross -j "$(nproc)" "$@"

# End to end: the Windows tool through wine's COM1 against the simulator,
# beside the Linux tool (the no-Qt build's, made here when missing).
if [ ! -x build-nogui/bin/tamlo-sim ] || [ ! -x build-nogui/bin/tamlocfg-cli ]; then
  cmake --preset nogui
  cmake --build --preset nogui --target tamlocfg-cli tamlo-sim
fi
scripts/windows-e2e.sh build-nogui/bin "$build/bin"

# The installer of the console tool, made by Debian's makensis.
rm -f "$build"/tamlocfg-*-win64.exe
(cd "$build" && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/tamlocfg-*-win64.exe)
staged="$build/_CPack_Packages/win64/NSIS/$(basename "$installer" .exe)"
for path in bin/tamlocfg-cli.exe share/tamlocfg/ademco.txt README.md; do
  [ -f "$staged/$path" ] || { echo "test-windows: the installer lacks $path" >&2; exit 1; }
done
echo "test-windows: installer $installer ($(stat -c %s "$installer") bytes)"
