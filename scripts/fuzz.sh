#!/usr/bin/env bash
# Runs every libFuzzer target of a sanitizer build for a bounded time, starting
# from its seed corpus in tests/fuzz/corpus/<target>. Fails on any finding.
# usage: scripts/fuzz.sh BUILD_DIR [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
seconds=${2:-20}
[ -d "$build/fuzz" ] || { echo "fuzz: no targets in $build/fuzz"; exit 0; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in "$build"/fuzz/*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$work/$name"
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=""
  log="$work/$name.log"
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/$name-" \
       "$work/$name" $seeds >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "fuzz: $name: $runs executions in ${seconds}s, no findings"
  else
    echo "fuzz: $name: FAILED"
    tail -n 60 "$log"
    status=1
  fi
done
exit $status
