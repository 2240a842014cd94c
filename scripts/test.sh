#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the default build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, then the ThreadSanitizer build (clang 14,
# GUI tests left out; any report fails it). Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
for preset in default asan tsan; do
  echo "== ${preset} =="
  cmake --preset "$preset" -DQUINTARA_WERROR=ON >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
