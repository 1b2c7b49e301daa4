# The release package of `make dist`, unpacked into a new game folder, does a
# whole first start as the player would.
# shellcheck shell=bash

if [ "$VORN_WINE_BUILD" != build/win32 ]; then
  echo "-- release package: skipped, this kernel cannot run the 32-bit program"
else
  card default
  scenario "the release package, unpacked into a new game folder, does a first start"
  game=$(mktemp -d "$out/package.XXXX")
  check unpacked unzip -q "$root/build/dist/VornOption-$("$root/scripts/version.sh")-KR.zip" -d "$game"
  check "its sums hold" bash -c "cd '$game' && sha256sum --check --quiet SHA256SUMS"
  cp "$build/e2e/driver.exe" "$root/sample/VornSafeMode.cfg" "$game/"
  check drive drive start dialog sel 1015 0 text 1002 "1024 x 768 , 32bit" click 1 exit 0
  check saved expect_file "$game/Vorn.cfg" < <(first_start_pairs; echo "id = ")
  finish
fi
