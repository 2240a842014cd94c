#!/usr/bin/env bash
# Installs the Debian packages Quintara needs to build, test and benchmark.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang-14 libclang-rt-14-dev  # the tsan preset: compiler and sanitizer runtimes
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  iproute2 clang-format
  clang-14 libclang-rt-14-dev llvm-14
  xvfb xauth
  qt6-svg-dev help2man dpkg-dev desktop-file-utils
  libboost-dev  # quintara-server: Boost.Beast (HTTP and WebSocket) on Boost.Asio
  chromium      # the web page's tests drive it headless
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
