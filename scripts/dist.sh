#!/usr/bin/env bash
# The release packages, one per region: that region's 32-bit program and
# resource library in the game-folder layout, the players' readme in the
# region's language and then English, and SHA256SUMS, zipped with fixed entry
# order, times and modes, so that every build of a commit gives the same bytes.
#   scripts/dist.sh [build folder] [output folder]   (build/win32, build/dist)
# Prints the packages' paths. Given SIGN_PKCS12 and SIGN_PASSWORD_FILE, the
# program and the library are Authenticode-signed (SHA-256) by osslsigncode at
# the commit's time, named VornOption (the program name the administrator
# prompt shows); SIGN_URL adds the studio's web address to the signature and
# SIGN_TIMESTAMP_URL an RFC 3161 time stamp.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win32}
out=${2:-build/dist}
regions=(KR CN TW JP RU GB)
version=$(scripts/version.sh)
# Every time in the package is the commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

cmake -G Ninja -S . -B "$build" -Wno-dev -DCMAKE_BUILD_TYPE=Release -DVORN_REGION=KR \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j "${JOBS:-2}" \
  --target "${regions[@]/#/VornOption_}" "${regions[@]/#/VornOption}" >/dev/null

signing=false
if [ -n "${SIGN_PKCS12:-}" ]; then
  [ -r "$SIGN_PKCS12" ] && [ -r "${SIGN_PASSWORD_FILE:-}" ] ||
    { echo "SIGN_PKCS12 and SIGN_PASSWORD_FILE must name readable files" >&2; exit 1; }
  signing=true
else
  echo "The packages are not signed: give SIGN_PKCS12 and SIGN_PASSWORD_FILE to sign them." >&2
fi
sign() {  # file: signed in place; the key and its password stay out of every log
  osslsigncode sign -pkcs12 "$SIGN_PKCS12" -readpass "$SIGN_PASSWORD_FILE" -h sha256 \
    -n VornOption ${SIGN_URL:+-i "$SIGN_URL"} -time "$SOURCE_DATE_EPOCH" \
    ${SIGN_TIMESTAMP_URL:+-ts "$SIGN_TIMESTAMP_URL"} \
    -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
}

for region in "${regions[@]}"; do
  folder=$build/regions/$region
  [ "$region" = KR ] && folder=$build/dist
  library=rscdll/VornOption$region.dll
  name=VornOption-$version-$region
  stage=$out/$name
  rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
  mkdir -p "$stage/rscdll"
  cp "$folder/VornOption.exe" "$stage/"
  cp "$folder/$library" "$stage/rscdll/"
  if $signing; then
    sign "$stage/VornOption.exe"
    sign "$stage/$library"
  fi
  # Notepad on Windows 7 reads UTF-8 only with its byte order mark.
  {
    printf '\xef\xbb\xbf'
    { cat "docs/readme/$region.txt"; [ "$region" = GB ] || { printf '\n\n'; cat docs/readme/GB.txt; }; } |
      sed 's/$/\r/'
  } > "$stage/README.txt"
  (cd "$stage" && sha256sum VornOption.exe "$library" README.txt > SHA256SUMS)

  find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
  find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  zip=$(realpath "$out")/$name.zip
  (cd "$stage" && printf '%s\n' README.txt SHA256SUMS VornOption.exe rscdll/ "$library" |
    TZ=UTC zip -X -9 -q "$zip" -@)
  (cd "$out" && sha256sum "$name.zip" > "$name.zip.sha256")
  echo "$zip"
done
