#!/usr/bin/env bash
# Qt for the Windows build of the configurator, cross-built with MinGW-w64
# from Debian's own source package of qtbase: no package registry carries Qt
# for Windows. The host's Qt 6 tools (moc, uic, rcc) serve the cross-build,
# so the version is the host's. Only what the program and its tests load is
# built: Core, Gui, Widgets, Test and the windows, offscreen and minimal
# platform plugins, without OpenGL, D-Bus, SQL, networking or printing.
# Tablet input is off: Debian's source leaves out the Wintab headers. The
# DirectWrite font database goes with Direct2D, which is off (the windows
# plugin's default, GDI, draws the fonts); without OpenGL the OpenGL input
# must say "no", or the windows plugin still expects dynamic OpenGL.
#
# The result is kept outside the clone, keyed by the Qt version and the hash
# of this script and of the toolchain file, and reused while both are
# unchanged. A first build takes about half an hour on two cores.
# usage: scripts/build-qt-windows.sh   (prints the Qt prefix on its last line)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils \
  g++-mingw-w64-x86-64-posix mingw-w64-tools >&2

version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/+.*//; s/-.*//')
toolchain=$PWD/cmake/toolchains/mingw-w64-x86_64.cmake
key=$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)
cache=${TAMLO_QT_CACHE:-/var/cache/tamlocfg}
prefix=$cache/qt-$version-mingw64-$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo mkdir -p "$cache"
$sudo chown "$(id -u):$(id -g)" "$cache"

# The source package, fetched through a deb-src entry of our own.
src=$cache/src/qtbase-everywhere-src-$version
if [ ! -f "$src/CMakeLists.txt" ]; then
  sources=/etc/apt/sources.list.d/tamlocfg-deb-src.sources
  if [ ! -f "$sources" ]; then
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee "$sources" >/dev/null
  fi
  $sudo apt-get update -qq >&2
  mkdir -p "$cache/src"
  (cd "$cache/src" && apt-get source --download-only -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" >&2)
  tar -C "$cache/src" -xJf "$(ls "$cache"/src/qt6-base_"$version"*.orig.tar.xz)"
fi

build=$cache/build-qt-$version-$key
rm -rf "$build" "$cache"/qt-*-mingw64-*  # earlier keys are of no further use
echo "build-qt-windows: building Qt $version for Windows into $prefix" >&2
nice cmake -G Ninja -S "$src" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF \
  -DFEATURE_network=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_icu=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF >&2
nice cmake --build "$build" >&2
cmake --install "$build" >&2
rm -rf "$build"
touch "$prefix/.complete"
echo "$prefix"
