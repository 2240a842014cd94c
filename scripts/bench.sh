#!/usr/bin/env bash
# Installs what is needed, builds, runs every benchmark and prints one table of figures beside
# their targets (about a minute; run it on an otherwise idle machine). Loopback only.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/bench/quintara-bench-summary
