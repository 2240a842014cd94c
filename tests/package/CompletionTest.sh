#!/usr/bin/env bash
# quintara-cli's bash completion, called as bash calls it, against the program's own help: every
# command, subcommand and option the help lists is offered, and nothing else, so the two cannot
# drift apart. Usage: CompletionTest.sh COMPLETION-FILE QUINTARA-CLI
set -uo pipefail
completion=$1
cli=$2

# shellcheck source=/dev/null
source "$completion"
failed=0

# What completing the given words offers, the last word being the one under the cursor; sorted.
Complete() {
  COMP_WORDS=(quintara-cli "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _quintara_cli quintara-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

Expect() {
  local what=$1 expected=$2 offered=$3
  if [[ "$expected" != "$offered" ]]; then
    echo "FAIL: $what"
    diff <(echo "$expected") <(echo "$offered") | sed 's/^/  /'
    failed=1
  fi
}

Sorted() {
  tr ' ' '\n' | sed '/^$/d' | sort -u
}

[[ "$(complete -p quintara-cli)" == *"-F _quintara_cli quintara-cli" ]] ||
  { echo "FAIL: quintara-cli has no completion function"; failed=1; }

help=$("$cli" --help) || { echo "FAIL: quintara-cli --help"; exit 1; }
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u)
[[ $(wc -l <<<"$commands") -ge 7 ]] || { echo "FAIL: no command list in --help"; failed=1; }
Expect "commands" "$commands" "$(Complete '')"
Expect "commands after options and their values" "$commands" \
  "$(Complete --bind 127.0.0.1 --json --serial=/dev/ttyS0 --baud 9600 '')"
Expect "options" "$(grep -o '^  --[a-z-]*' <<<"$help" | tr -d ' ' | sort -u)" "$(Complete --)"

for group in mv matrix preset; do
  listed=$("$cli" "$group" help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
  [[ -n "$listed" ]] || { echo "FAIL: '$group help' lists nothing"; failed=1; }
  Expect "$group commands" "$(printf '%s\nhelp\n' "$listed" | sort -u)" "$(Complete "$group" '')"
done

Expect "mv on|off" "$(echo off on | Sorted)" "$(Complete --device 127.0.0.11 mv border '')"
Expect "mv colours" "$(echo LightBlue LightCyan LightGreen LightYellow | Sorted)" \
  "$(Complete mv umd-back-colour all Light)"
Expect "matrix formats" "$(echo 720p50 720p59.94 | Sorted)" \
  "$(Complete matrix output-format 720p5)"
Expect "lock" "$(echo off on | Sorted)" "$(Complete lock '')"
Expect "baud" "$(echo 115200 19200 38400 57600 9600 | Sorted)" "$(Complete --baud '')"
Expect "an address is not guessed" "" "$(Complete --device '')"
Expect "after --, words are not options" "" "$(Complete -- --)"

serial=$(Complete --serial '')
[[ -n "$serial" ]] && ! grep -qv '^/dev/tty' <<<"$serial" ||
  { echo "FAIL: --serial offers other than /dev/tty*: $serial"; failed=1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/pty-of-a-simulator"
Expect "--serial takes any path" "$scratch/pty-of-a-simulator" "$(Complete --serial "$scratch/pty")"

if ((failed)); then
  exit 1
fi
echo "bash completion: every listed command and option offered"
