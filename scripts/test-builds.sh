#!/usr/bin/env bash
# The builds CI checks besides the sanitizer build of scripts/test.sh, each
# with its tests: the Release build with the system compiler (g++ on Debian,
# as the README's hand build uses it) and the build without Qt. Both treat
# warnings as errors (the presets' TAMLO_WERROR).
# usage: scripts/test-builds.sh [PRESET...]   (default: release nogui)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export CC=${CC:-gcc} CXX=${CXX:-g++}  # taken at a build folder's first configure

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release nogui)
for preset in "${presets[@]}"; do
  echo "test-builds: $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
