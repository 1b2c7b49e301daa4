#!/usr/bin/env bash
# Runs a Windows program in the run's private prefix (made by wine-prefix.sh),
# its file operations checked against the access Windows documents.
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/../tests/access/audited.sh"
export WINEPREFIX=$VORN_WINEPREFIX
audited "$VORN_WINE" "$@"
