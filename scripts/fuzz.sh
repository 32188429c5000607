#!/usr/bin/env bash
# Runs every libFuzzer target of a sanitizer build for a bounded time, starting
# from its seed corpus in tests/fuzz/corpus/<target>. Fails on any finding; the
# input that crashed a target stays in BUILD_DIR/fuzz-findings/ (its path is
# printed) to be replayed with `BUILD_DIR/fuzz/TARGET FILE`.
# usage: scripts/fuzz.sh BUILD_DIR [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
seconds=${2:-20}
[ -d "$build/fuzz" ] || { echo "fuzz: no targets in $build/fuzz"; exit 0; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The inputs a run finds besides its seeds are scratch; its findings are not.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings=$build/fuzz-findings
mkdir -p "$findings"
findings=$(cd "$findings" && pwd)
status=0
for target in "$build"/fuzz/*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$work/$name"
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=""
  log="$work/$name.log"
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$name-" \
       "$work/$name" $seeds >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "fuzz: $name: $runs executions in ${seconds}s, no findings"
  else
    echo "fuzz: $name: FAILED"
    tail -n 60 "$log"
    cp "$log" "$findings/$name.log"
    grep -o 'Test unit written to .*' "$log" | sed 's/^Test unit written to //' | while read -r input; do
      echo "fuzz: $name: input kept in $input (replay: $target $input)"
    done
    echo "fuzz: $name: its log is $findings/$name.log"
    status=1
  fi
done
exit $status
