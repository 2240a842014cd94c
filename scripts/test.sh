#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the default build first, then the
# AddressSanitizer + UndefinedBehaviorSanitizer build. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
for preset in default asan; do
  echo "== ${preset} =="
  cmake --preset "$preset" -DQUINTARA_WERROR=ON >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
