#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang 14, libFuzzer, ASan + UBSan) and runs each for
# SECONDS (default 30), two at a time, from its seed corpus (fuzz/corpus/<target>) with the
# frames dictionary. What the targets find goes to a scratch folder, never into fuzz/corpus.
# Prints one line per target with its executions; fails when any target found a crash, a leak,
# undefined behaviour or a hang, and keeps the input that did it.
#
#   bash scripts/fuzz.sh                 # 30 s each
#   bash scripts/fuzz.sh 3600            # an hour each
#   bash scripts/fuzz.sh 60 Matrix       # only the targets whose name contains "Matrix"
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
filter=${2:-}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET-NAME-FILTER]" >&2
  exit 2
fi

bash scripts/install-deps.sh
cmake --preset fuzz -DQUINTARA_WERROR=ON >/dev/null
cmake --build --preset fuzz

targets=()
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  if [[ "$name" == *"$filter"* ]]; then
    targets+=("$name")
  fi
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz target matches '$filter'" >&2
  exit 2
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quintara-fuzz.XXXXXX")
if [ -x /usr/bin/llvm-symbolizer-14 ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi
export UBSAN_OPTIONS=print_stacktrace=1

# The longest input a target takes: a datagram fits in 4 KiB; a settings file may be as long as
# the reader takes one (256 KiB).
max_len() {
  case "$1" in
    SettingsFileFuzzer) echo 262144 ;;
    *) echo 4096 ;;
  esac
}

# Runs one target; its log and whatever it found stay in the scratch folder.
run_target() {
  local name=$1
  mkdir -p "$scratch/$name/found"
  build/fuzz/fuzz/"$name" "$scratch/$name/found" "fuzz/corpus/$name" \
    -dict=fuzz/frames.dict -max_total_time="$seconds" -timeout=10 -max_len="$(max_len "$name")" \
    -print_final_stats=1 -artifact_prefix="$scratch/$name/" >"$scratch/$name.log" 2>&1
}

# Two at a time, one per core.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for name in "${targets[@]:i:2}"; do
    run_target "$name" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || true
  done
done

failed=0
for name in "${targets[@]}"; do
  log="$scratch/$name.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  artifacts=$(find "$scratch/$name" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  if [ -z "$artifacts" ] && grep -q '^Done [0-9]* runs' "$log"; then
    printf '%-24s %10s executions in %s s\n' "$name" "${runs:-?}" "$seconds"
  else
    failed=1
    printf '%-24s %10s executions, FAILED\n' "$name" "${runs:-?}"
    for artifact in $artifacts; do
      echo "  found: $artifact"
    done
    echo "  log: $log" >&2
    grep -E 'ERROR|invariant broken|runtime error|Assertion|SUMMARY' "$log" | head -n 5 | sed 's/^/  /' >&2 || true
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "A target found a fault; its input and log are kept in $scratch" >&2
  exit 1
fi
rm -rf "$scratch"
