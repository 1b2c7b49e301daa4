#!/usr/bin/env bash
# The start-up half of `make bench`: the e2e driver's timing of the tool
# against Baseline.exe under Wine, where Wine and the Windows build are there.
set -uo pipefail
source scripts/wine-env.sh
build=$VORN_WINE_BUILD
if ! "$VORN_WINE" --version >/dev/null 2>&1 || [ ! -e "$build/dist/VornOption.exe" ] ||
  [ ! -e "$build/e2e/driver.exe" ] || [ ! -e "$build/e2e/Baseline.exe" ]; then
  echo "start-up against Baseline.exe under Wine: skipped (needs Wine and \`make wine-build\`)"
  exit 0
fi
[ -d "$VORN_WINEPREFIX" ] || scripts/wine-prefix.sh "$VORN_WINEPREFIX"
tests/e2e/run.sh tests/e2e/startup_timing.sh | grep -E 'start to dialog|FAIL|failed'
