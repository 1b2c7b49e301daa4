#!/usr/bin/env bash
# What the shipped program takes from outside itself. It imports only
# Windows' known DLLs (scripts/known-dlls.txt), which the loader takes from
# the system folder: any other library it imported, the common controls
# included, would be loaded, and its DllMain run, before the program could
# limit the search, and what that library asks for by name would be looked
# for in the game folder first.
# It imports only functions that Windows 7 SP1 has
# (scripts/win7-sp1-imports.txt), so nothing of its start-up can fail for a
# missing update. Its load configuration asks for imports from System32
# only. The resource library imports nothing and has no entry point, so it
# holds no code that could run.
set -euo pipefail
dist=${1:-build/win32/dist}
exe=${2:-$dist/VornOption.exe}
objdump=i686-w64-mingw32-objdump
status=0

libraries=$($objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
known=$(grep -v '^#' scripts/known-dlls.txt | sort -u)
unknown=$(comm -23 <(echo "$libraries") <(echo "$known"))
if [ -n "$unknown" ]; then
  echo "$exe imports libraries that are not known DLLs (see scripts/known-dlls.txt):" $unknown
  status=1
fi

allowed=$(grep -v '^#' scripts/win7-sp1-imports.txt)
imports=$($objdump -p "$exe" |
  awk '/DLL Name:/ {dll = tolower($3); next} dll && /^\t[0-9a-f]+\t/ {print dll, $3}' | sort -u)
[ -n "$imports" ] || { echo "no imports found in $exe"; exit 1; }
echo "$exe imports $(wc -l <<<"$imports") functions from:" $(awk '{print $1}' <<<"$imports" | uniq)
unexpected=$(comm -23 <(echo "$imports") <(sort -u <<<"$allowed"))
if [ -n "$unexpected" ]; then
  echo "imports not in scripts/win7-sp1-imports.txt:"
  sed 's/^/  /' <<<"$unexpected"
  status=1
fi
OBJDUMP=$objdump scripts/set-load-config.sh --check "$exe" || status=1

library=$($objdump -p "$dist/rscdll/VornOptionKR.dll")
grep -q 'DLL Name' <<<"$library" && { echo "the resource library imports code"; status=1; }
grep -q 'AddressOfEntryPoint.*00000000$' <<<"$library" || { echo "the resource library has an entry point"; status=1; }
exit $status
