#!/usr/bin/env bash
# Installs what is needed, builds, starts three simulated devices on loopback addresses, shows
# what quintara-cli finds, then opens the Quintara window pointed at them. Nothing leaves the
# machine: searches go to the simulated devices' own addresses, never to the broadcast address.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

sim_log=$(mktemp)
# The simulated multiviewer's front panel reads commands from this pipe, so that changes "made on
# the device" can be tried while the window is open.
sim_dir=$(mktemp -d)
front_panel="$sim_dir/front-panel"
mkfifo "$front_panel"
build/default/src/sim/quintara-sim --seconds 86400 <"$front_panel" >"$sim_log" 2>&1 &
sim=$!
exec 3>"$front_panel"
trap 'exec 3>&-; kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true
      rm -rf "$sim_log" "$sim_dir"' EXIT

for _ in $(seq 50); do
  grep -q '^ready$' "$sim_log" && break
  if ! kill -0 "$sim" 2>/dev/null; then
    cat "$sim_log" >&2
    exit 1
  fi
  sleep 0.1
done
echo "Simulated devices:"
grep -v '^ready$' "$sim_log"
echo
echo "quintara-cli discover:"
build/default/src/cli/quintara-cli --bind 127.0.0.1 \
  --target 127.0.0.11 --target 127.0.0.12 --target 127.0.0.13 discover
echo
echo "quintara-cli mv state (the simulated multiviewer):"
build/default/src/cli/quintara-cli --bind 127.0.0.1 --device 127.0.0.11 mv state
echo
echo "quintara-cli matrix status (the simulated sixteen-channel switcher):"
build/default/src/cli/quintara-cli --bind 127.0.0.1 --device 127.0.0.13 matrix status 2>/dev/null

link=(--bind 127.0.0.1 --target 127.0.0.11 --target 127.0.0.12 --target 127.0.0.13)
echo
echo "The simulated multiviewer's front panel: from another terminal, for example"
echo "  echo 'layout 60' > $front_panel"
echo "  echo 'source 2 7' > $front_panel"
echo
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening the Quintara window; press Search to find the simulated devices."
  build/default/src/ui/quintara "${link[@]}"
else
  seconds=${QUINTARA_XVFB_SECONDS:-20}
  echo "No display here: running the Quintara window under Xvfb (xvfb-run) for ${seconds} s."
  timeout "$seconds" xvfb-run -a build/default/src/ui/quintara "${link[@]}" || true
fi
