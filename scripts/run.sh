#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the
# configurator. Until the GUI exists it prints the console tool's usage.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMLO_TESTS=OFF
cmake --build build
if [ -x build/bin/tamlocfg ]; then
  exec build/bin/tamlocfg "$@"
fi
exec build/bin/tamlocfg-cli --help
