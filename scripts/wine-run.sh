#!/usr/bin/env bash
# Runs a Windows program in the run's private prefix (made by wine-prefix.sh).
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=$VORN_WINEPREFIX WINEDEBUG=-all
exec "$VORN_WINE" "$@"
