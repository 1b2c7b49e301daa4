# Each region's release package of `make dist`, unpacked into a new game
# folder, does a whole first start in its language as the player would, and
# without its own library says so in the program's own words.
# shellcheck shell=bash

if [ "$VORN_WINE_BUILD" != build/win32 ]; then
  echo "-- release packages: skipped, this kernel cannot run the 32-bit program"
else
  card default
  version=$("$root/scripts/version.sh")
  for region in KR CN TW JP RU GB; do
    scenario "the $region package does a first start in its language; another region's library will not do"
    game=$(mktemp -d "$out/package-$region.XXXX")
    check unpacked unzip -q "$root/build/dist/VornOption-$version-$region.zip" -d "$game"
    check "its sums hold" bash -c "cd '$game' && sha256sum --check --quiet SHA256SUMS"
    cp "$build/e2e/driver.exe" "$root/sample/VornSafeMode.cfg" "$game/"
    check "its screenshot" first_start_shot "$game" "$out/dialog-$region.png" "$region"
    check saved expect_file "$game/Vorn.cfg" < <(first_start_pairs; echo "id = ")
    other=GB
    [ "$region" = GB ] && other=CN
    mv "$game/rscdll/VornOption$region.dll" "$game/own-library.dll"
    check "without its library" says_no_library "VornOption$region.dll"
    # Outside English, the region's own script is in the message.
    [ "$region" = GB ] || check "in its language" env LC_ALL=C grep -q $'[\x80-\xff]' "$game/box.txt"
    cp "$build/regions/$other/rscdll/VornOption$other.dll" "$game/rscdll/"
    check "with another region's" says_no_library "VornOption$region.dll"
    finish
  done
fi
