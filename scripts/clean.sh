#!/usr/bin/env bash
# make clean: deletes build/, never while anything is mounted below it (a
# fresh-check root holds the host's /dev and /sys while it runs).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/mounts.sh
remove_unmounted build
