#!/usr/bin/env bash
# Runs the tool under Wine on a copy of the sample game folder. Uses the
# display when there is one; otherwise runs under Xvfb and saves a screenshot.
set -euo pipefail
scripts=$(dirname "$(readlink -f "$0")")
source "$scripts/wine-env.sh"
game=$PWD/build/demo-game
rm -rf "$game" && mkdir -p "$game"
cp -r "$VORN_WINE_BUILD/dist/." "$game/"
cp sample/*.cfg "$game/"
[ -d "$VORN_WINEPREFIX" ] || scripts/wine-prefix.sh "$VORN_WINEPREFIX"
cd "$game"
echo "Running VornOption.exe in $game"
"$scripts/wine-run.sh" VornOption.exe && status=0 || status=$?
echo "VornOption.exe ended with status $status"
