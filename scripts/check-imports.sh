#!/usr/bin/env bash
# The shipped program imports only functions that Windows 7 SP1 has
# (scripts/win7-sp1-imports.txt), so nothing of its start-up can fail for a
# missing update, and never d3d9 (it loads that from the system folder at run
# time); the resource library imports nothing and has no entry point, so it
# holds no code that could run.
set -euo pipefail
dist=${1:-build/win32/dist}
objdump=i686-w64-mingw32-objdump
allowed=$(grep -v '^#' scripts/win7-sp1-imports.txt)
imports=$($objdump -p "$dist/VornOption.exe" |
  awk '/DLL Name:/ {dll = tolower($3); next} dll && /^\t[0-9a-f]+\t/ {print dll, $3}' | sort -u)
[ -n "$imports" ] || { echo "no imports found in $dist/VornOption.exe"; exit 1; }
status=0
echo "VornOption.exe imports $(wc -l <<<"$imports") functions from:" $(awk '{print $1}' <<<"$imports" | uniq)
unexpected=$(comm -23 <(echo "$imports") <(sort -u <<<"$allowed"))
if [ -n "$unexpected" ]; then
  echo "imports not in scripts/win7-sp1-imports.txt:"
  sed 's/^/  /' <<<"$unexpected"
  status=1
fi
library=$($objdump -p "$dist/rscdll/VornOptionKR.dll")
grep -q 'DLL Name' <<<"$library" && { echo "the resource library imports code"; status=1; }
grep -q 'AddressOfEntryPoint.*00000000$' <<<"$library" || { echo "the resource library has an entry point"; status=1; }
exit $status
