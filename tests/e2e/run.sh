#!/usr/bin/env bash
# End-to-end scenarios: the real VornOption.exe in a temporary game folder,
# driven from outside by driver.exe, under Xvfb in a Wine virtual desktop.
# Expects the prefix of scripts/wine-prefix.sh; prints "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh"
build=$root/$VORN_WINE_BUILD
export WINEPREFIX=$VORN_WINEPREFIX WINEDEBUG=-all
out=$root/build/e2e
mkdir -p "$out"

source "$root/scripts/xvfb.sh"

passed=0
failed=0
failures=()

# A fresh game folder holding the built program, the driver and the given
# sample files (name=content-file pairs or plain sample names).
new_game() {
  game=$(mktemp -d "$out/game.XXXX")
  cp -r "$build/dist/." "$game/"
  cp "$build/e2e/driver.exe" "$build/e2e/Baseline.exe" "$game/"
  cp "$root/sample/VornSafeMode.cfg" "$game/"
}

check() {  # name, command...: one scenario step that must hold
  local name=$1
  shift
  if "$@"; then
    return 0
  fi
  echo "FAIL: $name: $*" >&2
  scenario_ok=false
}

drive() { (cd "$game" && audited "$VORN_WINE" driver.exe "$@"); }

scenario() { scenario_name=$1; scenario_ok=true; echo "-- $1"; }
finish() {
  if $scenario_ok; then passed=$((passed + 1)); else failed=$((failed + 1)); failures+=("$scenario_name"); fi
  wineserver -w 2>/dev/null
}

same_file() { cmp -s "$1" "$2" || { echo "  $1 differs from $2:"; diff <(cat -A "$2") <(cat -A "$1") | head -20; return 1; }; }
absent() { [ ! -e "$1" ] || { echo "  $1 exists"; return 1; }; }
# A save leaves no "Vorn.cfg.<random>.tmp" behind.
no_temporaries() {
  local left
  left=$(cd "$game" && ls -A | grep -E '^Vorn\.cfg\..+\.tmp$' | grep -v -x 'Vorn.cfg.tmp')
  [ -z "$left" ] || { echo "  left behind: $left"; return 1; }
}

# The program's own message for a resource library it cannot use, saved in
# box.txt: the library's full path, the advice, the English line last.
says_no_library() {  # the library's file name
  drive start box-with Vorn "full:rscdll\\$1" end box-save box.txt no-dialog exit 0 || return 1
  [ "$(tail -n 1 "$game/box.txt")" = "Cannot load resource dll." ] ||
    { echo "  last line: $(tail -n 1 "$game/box.txt")"; return 1; }
  [ "$(grep -c . "$game/box.txt")" -ge 3 ] || { echo "  only: $(cat "$game/box.txt")"; return 1; }
}

expect_file() {  # file; expected lines on stdin, written with CR LF
  sed 's/$/\r/' > "$game/expected.cfg"
  same_file "$1" "$game/expected.cfg"
}

source "$root/scripts/wine-shot.sh"
source "$root/tests/access/audited.sh"
# The screenshots' runs are audited too.
run_driver() { audited "$VORN_WINE" driver.exe "$@"; }
source "$root/tests/e2e/expected.sh"
# Every scenario file, or only those named on the command line.
files=("$@")
[ ${#files[@]} -gt 0 ] || files=("$root/tests/e2e/"{scenarios,robustness,links,client_copies,package}.sh)
for file in "${files[@]}"; do
  source "$file"
done

echo
[ ${#failures[@]} -eq 0 ] || echo "failed scenarios: ${failures[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
