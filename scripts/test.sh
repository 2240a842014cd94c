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

# The Debian package, from the default build: built, its dependencies found, and its programs
# run from where it unpacks.
echo "== package =="
(cd build/default && rm -f quintara_*.deb && cpack -G DEB >/dev/null 2>&1)
deb=$(echo build/default/quintara_*_amd64.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): Depends: $depends"
[[ "$depends" == *libqt6widgets6* ]]
unpacked=$(mktemp -d)
dpkg -x "$deb" "$unpacked"
"$unpacked/usr/bin/quintara-cli" --version
"$unpacked/usr/bin/quintara" --version
rm -rf "$unpacked"

# Every parser of received bytes under libFuzzer for a short smoke run (clang 14, ASan+UBSan).
echo "== fuzz =="
bash scripts/fuzz.sh 30
