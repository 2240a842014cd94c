#!/usr/bin/env bash
# Installs the build into a scratch root laid out as the .deb is (prefix /usr), checks that every
# file the package promises is there and sound, and runs the installed programs from there.
# Usage: InstallTest.sh BUILD-DIR VERSION
set -uo pipefail
build=$1
version=$2

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
if ! DESTDIR="$root" cmake --install "$build" --prefix /usr >"$root.log" 2>&1; then
  cat "$root.log"
  rm -f "$root.log"
  exit 1
fi
rm -f "$root.log"
usr=$root/usr
failed=0

Fail() {
  echo "FAIL: $*"
  failed=1
}

for program in quintara quintara-cli quintara-sim quintara-server; do
  [[ -x "$usr/bin/$program" ]] || Fail "/usr/bin/$program is not installed"
  [[ "$("$usr/bin/$program" --version)" == "$program $version" ]] ||
    Fail "$program --version does not print '$program $version'"
  page=$usr/share/man/man1/$program.1.gz
  if ! gzip -t "$page" 2>/dev/null; then
    Fail "/usr/share/man/man1/$program.1.gz is missing or not gzip"
  elif ! zcat "$page" | grep -qF '\-\-version'; then
    Fail "the man page of $program does not list --version"
  fi
done
# The window's page lists the window's options only.
zcat "$usr/share/man/man1/quintara.1.gz" 2>/dev/null | grep -qF '\-\-json' &&
  Fail "the man page of quintara lists --json, which the window does not take"

help=$("$usr/bin/quintara-cli" --help) || Fail "the installed quintara-cli --help fails"
[[ "$help" == "Usage: quintara-cli [options] COMMAND"* ]] || Fail "quintara-cli --help: $help"

unit=$usr/lib/systemd/system/quintara-server.service
grep -qx 'ExecStart=/usr/bin/quintara-server --preset-dir /var/lib/quintara/presets $QUINTARA_SERVER_OPTIONS' \
  "$unit" 2>/dev/null ||
  Fail "quintara-server.service is missing or does not start /usr/bin/quintara-server"
grep -qx 'StateDirectory=quintara' "$unit" 2>/dev/null ||
  Fail "quintara-server.service has no state folder for its presets"
grep -qx 'User=quintara' "$unit" 2>/dev/null || Fail "quintara-server.service runs as root"
grep -q '^QUINTARA_SERVER_OPTIONS="--listen 127.0.0.1:' "$root/etc/default/quintara-server" \
  2>/dev/null || Fail "/etc/default/quintara-server is missing or does not listen on loopback"

desktop=$usr/share/applications/quintara.desktop
if [[ ! -f "$desktop" ]]; then
  Fail "/usr/share/applications/quintara.desktop is not installed"
elif command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || Fail "quintara.desktop does not validate"
fi

icons=$usr/share/icons/hicolor
for side in 16 32 48 128 256; do
  png=$icons/${side}x$side/apps/quintara.png
  # The PNG signature, then IHDR's width and height as big-endian words.
  header=$(od -An -tu1 -N24 "$png" 2>/dev/null | tr -s ' \n' ' ')
  expected=" 137 80 78 71 13 10 26 10 0 0 0 13 73 72 68 82 0 0 $((side >> 8)) $((side & 255)) 0 0 $((side >> 8)) $((side & 255)) "
  [[ "$header" == "$expected" ]] || Fail "${side}x$side/apps/quintara.png is missing or not $side px"
done
grep -q '<svg' "$icons/scalable/apps/quintara.svg" 2>/dev/null ||
  Fail "scalable/apps/quintara.svg is missing or not SVG"

completion=$usr/share/bash-completion/completions/quintara-cli
bash -c 'source "$1" && complete -p quintara-cli' _ "$completion" >/dev/null 2>&1 ||
  Fail "/usr/share/bash-completion/completions/quintara-cli does not set up completion"

if ((failed)); then
  exit 1
fi
echo "installed: three programs, their man pages, the desktop entry, icons and completion"
