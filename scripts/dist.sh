#!/usr/bin/env bash
# The release package: the shipped 32-bit program and its Korean resource
# library in the game-folder layout, the players' readme and SHA256SUMS,
# zipped with fixed entry order, times and modes, so that every build of a
# commit gives the same bytes.
#   scripts/dist.sh [build folder] [output folder]   (build/win32, build/dist)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win32}
out=${2:-build/dist}
version=$(scripts/version.sh)
# Every time in the package is the commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

cmake -G Ninja -S . -B "$build" -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target VornOption VornOptionKR >/dev/null

name=VornOption-$version-KR
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
mkdir -p "$stage/rscdll"
cp "$build/dist/VornOption.exe" "$stage/"
cp "$build/dist/rscdll/VornOptionKR.dll" "$stage/rscdll/"
# Notepad on Windows 7 reads UTF-8 only with its byte order mark.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' docs/players-readme.txt; } > "$stage/README.txt"
(cd "$stage" && sha256sum VornOption.exe rscdll/VornOptionKR.dll README.txt > SHA256SUMS)

find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
zip=$(realpath "$out")/$name.zip
(cd "$stage" && printf '%s\n' README.txt SHA256SUMS VornOption.exe rscdll/ rscdll/VornOptionKR.dll |
  TZ=UTC zip -X -9 -q "$zip" -@)
(cd "$out" && sha256sum "$name.zip" > "$name.zip.sha256")
echo "$zip"
