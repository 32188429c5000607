#!/usr/bin/env bash
# Journal export benchmark: 1 MiB and 4 MiB journals, each in its own
# process, HTML and text. Builds an optimised tree (default build-bench/) first.
# usage: bench/journal/run.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMLO_GUI=OFF -DTAMLO_TESTS=OFF >/dev/null
cmake --build "$build" --target journal_bench tamlo_event_codes >/dev/null
for format in html text; do
  for kib in 1024 4096; do
    "$build/bin/journal_bench" "$kib" "$format" 5
  done
done
