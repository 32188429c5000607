#!/usr/bin/env bash
# scripts/fuzz.sh with a stand-in fuzz target that "crashes" the way libFuzzer
# reports it: the run fails, and the crashing input is still there afterwards,
# under the build folder, at the path the script printed.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
mkdir "$build/fuzz"
cat >"$build/fuzz/crashing_fuzz" <<'TARGET'
#!/bin/sh
for arg in "$@"; do case "$arg" in -artifact_prefix=*) prefix=${arg#-artifact_prefix=} ;; esac; done
printf 'boom' >"${prefix}crash-0123"
echo "==1==ERROR: AddressSanitizer: heap-buffer-overflow"
echo "artifact_prefix='$prefix'; Test unit written to ${prefix}crash-0123"
exit 1
TARGET
chmod +x "$build/fuzz/crashing_fuzz"

status=0
out=$("$source_dir/scripts/fuzz.sh" "$build" 1) || status=$?
echo "$out"
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1"; exit 1; }
kept=$(echo "$out" | sed -n 's/^fuzz: crashing_fuzz: input kept in \([^ ]*\) .*/\1/p')
[ -n "$kept" ] || { echo "FAIL: no path of the crashing input printed"; exit 1; }
case "$kept" in "$build"/*) ;; *) echo "FAIL: $kept is not under the build folder"; exit 1 ;; esac
[ "$(cat "$kept")" = boom ] || { echo "FAIL: $kept does not hold the crashing input"; exit 1; }
echo "PASS"
