#!/usr/bin/env bash
# Retakes the README's pictures in docs/ from the built programs, in a fresh
# private prefix under Xvfb: each region's first start on the default card
# (docs/dialog-<region>.png), drawn with its own script's font first, and the
# recommended settings for a GeForce 8800 GTX (docs/dialog.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/wine-env.sh
build=$root/$VORN_WINE_BUILD
default=$(sed -n 's/^VORN_REGION:[A-Z]*=//p' "$build/CMakeCache.txt")
scripts/wine-prefix.sh "$VORN_WINEPREFIX"
source scripts/xvfb.sh
source scripts/wine-shot.sh
export WINEPREFIX=$VORN_WINEPREFIX WINEDEBUG=-all
shots=$root/build/screenshots
rm -rf "$shots"

# A new game folder of the region's program with only the safe-mode file.
game_of() {
  local folder=$build/regions/$1
  [ "$1" = "$default" ] && folder=$build/dist
  game=$shots/$1
  mkdir -p "$game"
  cp -r "$folder/." "$build/e2e/driver.exe" sample/VornSafeMode.cfg "$game/"
}

card default
for region in KR CN TW JP RU GB; do
  game_of "$region"
  first_start_shot "$game" "docs/dialog-$region.png" "$region"
  echo "docs/dialog-$region.png"
done
card 3 0x10de 0x0191  # NVIDIA GeForce 8800 GTX
game_of KR
mv "$game" "$game-recommended" && game=$game-recommended
recommended_shot "$game" docs/dialog.png
echo docs/dialog.png
