#!/usr/bin/env bash
# Builds the 64-bit test build when this host needs it (see wine-env.sh).
set -euo pipefail
source scripts/wine-env.sh
[ "$VORN_WINE_BUILD" = build/win32 ] && exit 0
echo "This kernel cannot run 32-bit programs: the Wine tests use a 64-bit build."
cmake -G Ninja -S . -Wno-dev -B build/win64 -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/win64 -j "${JOBS:-2}"
