#!/usr/bin/env bash
# The shipped program imports only Windows' own DLLs, and not d3d9 (it loads
# that from the system folder at run time); the resource library imports
# nothing and has no entry point, so it holds no code that could run.
set -euo pipefail
dist=build/win32/dist
objdump=i686-w64-mingw32-objdump
allowed=" comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll "
imports=$($objdump -p "$dist/VornOption.exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
echo "VornOption.exe imports:" $imports
status=0
for dll in $imports; do
  [[ $allowed == *" $dll "* ]] || { echo "unexpected import: $dll"; status=1; }
done
library=$($objdump -p "$dist/rscdll/VornOptionKR.dll")
grep -q 'DLL Name' <<<"$library" && { echo "the resource library imports code"; status=1; }
grep -q 'AddressOfEntryPoint.*00000000$' <<<"$library" || { echo "the resource library has an entry point"; status=1; }
exit $status
