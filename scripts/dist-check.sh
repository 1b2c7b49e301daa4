#!/usr/bin/env bash
# Builds the release package twice, here and from a copy of the tree in
# another folder, and fails unless the program, the resource library and the
# zip are byte for byte the same. The copy takes the tree as it stands,
# uncommitted changes and git's records included, so both name one version.
set -euo pipefail
cd "$(dirname "$0")/.."
first=$(scripts/dist.sh build/win32 build/dist)

copy=build/repro/tree
rm -rf --one-file-system build/repro
mkdir -p "$copy"
{ git ls-files -z --cached --others --exclude-standard; printf '.git\0'; } |
  tar --null -T - -cf - | tar -xf - -C "$copy"
second=$(cd "$copy" && scripts/dist.sh build/win32 ../dist)

status=0
for file in VornOption.exe rscdll/VornOptionKR.dll; do
  a=$(sha256sum < "build/win32/dist/$file" | cut -d' ' -f1)
  b=$(sha256sum < "$copy/build/win32/dist/$file" | cut -d' ' -f1)
  echo "$file: $a, $b"
  [ "$a" = "$b" ] || { echo "  $file differs between the two builds"; status=1; }
done
a=$(sha256sum < "$first" | cut -d' ' -f1)
b=$(sha256sum < "$second" | cut -d' ' -f1)
echo "$(basename "$first"): $a, $b"
[ "$(basename "$first")" = "$(basename "$second")" ] || { echo "  the two name different versions"; status=1; }
[ "$a" = "$b" ] || { echo "  the zips differ"; status=1; }
[ $status -eq 0 ] && echo "The package builds to the same bytes from another folder."
exit $status
