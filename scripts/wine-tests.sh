#!/usr/bin/env bash
# Every test that runs under Wine, in one fresh private prefix.
set -euo pipefail
source scripts/wine-env.sh
scripts/wine-prefix.sh "$VORN_WINEPREFIX"
source scripts/xvfb.sh
(cd "$VORN_WINE_BUILD" && ctest --output-on-failure)
tests/e2e/run.sh
