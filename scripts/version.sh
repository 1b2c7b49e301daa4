#!/usr/bin/env bash
# The version of a build, from git: "1.2.3" at the tag v1.2.3, "1.2.3.4" four
# commits after it, "0.0.0-<commit>" where there is no such tag; "-dirty" is
# added when tracked files have uncommitted changes. With --numbers it prints
# the four numbers of the Windows version resource instead ("1,2,3,4").
set -euo pipefail
cd "$(dirname "$0")/.."
described=$(git describe --tags --long --dirty --always --abbrev=12 \
  --match 'v[0-9]*.[0-9]*.[0-9]*' 2>/dev/null) || described=unknown
if [[ $described =~ ^v([0-9]+)\.([0-9]+)\.([0-9]+)-([0-9]+)-g[0-9a-f]+(-dirty)?$ ]]; then
  numbers="${BASH_REMATCH[1]},${BASH_REMATCH[2]},${BASH_REMATCH[3]},${BASH_REMATCH[4]}"
  text="${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.${BASH_REMATCH[3]}"
  [ "${BASH_REMATCH[4]}" = 0 ] || text+=".${BASH_REMATCH[4]}"
  text+="${BASH_REMATCH[5]}"
else
  numbers="0,0,0,0"
  text="0.0.0-$described"
fi
if [ "${1:-}" = --numbers ]; then echo "$numbers"; else echo "$text"; fi
