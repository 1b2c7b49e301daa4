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
# The same busy loop on each core alone, then on both at once: the probe's
# thread gains only where a second core is there to run it.
loop='i=0; while ((i < 300000)); do ((i++)); done'
on_core() { TIMEFORMAT=%R; { time taskset -c "$1" bash -c "$loop"; } 2>&1; }
if command -v taskset >/dev/null && [ "$(nproc)" -ge 2 ]; then
  alone=("$(on_core 0)" "$(on_core 1)")
  mapfile -t both < <(on_core 0 & on_core 1 & wait)
  echo "a busy loop alone: ${alone[0]} s on core 0, ${alone[1]} s on core 1; on both at once:" \
    "${both[0]} s and ${both[1]} s"
fi
# The ratio over the rounds, then each step of one traced round (ms from the
# program's start): the tool's, its probe's and the baseline's; for the 64-bit
# build too where it is built beside the 32-bit one.
timing() {
  echo "$VORN_WINE_BUILD:"
  # Only the figures and failures: the trace the audit reads may pass pieces on.
  tests/e2e/run.sh tests/e2e/startup_timing.sh 2>&1 |
    sed -nE 's/.*(start to dialog ready)/\1/p; /^(VornOption\.exe|probe|Baseline\.exe):|FAIL|failed/p'
}
timing
if [ "$build" = build/win32 ] && [ -e build/win64/dist/VornOption.exe ] &&
  [ -e build/win64/e2e/driver.exe ]; then
  VORN_WINE_BUILD=build/win64 timing
fi
