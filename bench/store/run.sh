#!/usr/bin/env bash
# Configuration store benchmark: a 1 MiB configuration (the remote access
# list filled with phones and notes) built into an image the way Save and
# "Записать" build it. Builds an optimised tree (default build-bench/) first.
# usage: bench/store/run.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMLO_GUI=OFF -DTAMLO_TESTS=OFF >/dev/null
cmake --build "$build" --target store_bench >/dev/null
"$build/bin/store_bench" 1024 5
