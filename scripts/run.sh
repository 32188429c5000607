#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the
# configurator.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMLO_TESTS=OFF
cmake --build build
exec build/bin/tamlocfg "$@"
