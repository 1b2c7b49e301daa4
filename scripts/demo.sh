#!/usr/bin/env bash
# Runs the tool under Wine on a copy of the sample game folder. With a display
# the player uses it; without one it runs under Xvfb, saves a screenshot,
# presses OK, and prints the Vorn.cfg it wrote.
set -euo pipefail
scripts=$(dirname "$(readlink -f "$0")")
root=$(dirname "$scripts")
source "$scripts/wine-env.sh"
build=$root/$VORN_WINE_BUILD
game=$root/build/demo-game
rm -rf "$game" && mkdir -p "$game"
cp -r "$build/dist/." "$build/e2e/driver.exe" "$root"/sample/*.cfg "$game/"
[ -d "$VORN_WINEPREFIX" ] || "$scripts/wine-prefix.sh" "$VORN_WINEPREFIX"
source "$scripts/xvfb.sh"
export WINEPREFIX=$VORN_WINEPREFIX WINEDEBUG=-all

if [ -z "${VORN_HEADLESS:-}" ]; then
  echo "Starting VornOption.exe in $game"
  (cd "$game" && "$VORN_WINE" VornOption.exe) && status=0 || status=$?
  echo "VornOption.exe ended with status $status"
else
  source "$scripts/wine-shot.sh"
  picture=$root/build/demo-dialog.png
  shoot "$game" "$picture" start dialog hold ready.mark done.mark click 1 exit 0
  echo "No display: ran under Xvfb. Screenshot of the dialog: $picture"
  echo "OK was pressed; the Vorn.cfg it wrote:"
fi
echo "---- $game/Vorn.cfg"
tr -d '\r' < "$game/Vorn.cfg"
