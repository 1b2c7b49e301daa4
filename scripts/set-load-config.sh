#!/usr/bin/env bash
# Points a linked program's load-configuration directory (data directory 10)
# at its .loadcfg section, which holds the structure src/win32/elevated/load_config.cpp
# defines, since GNU ld does not. With --check, only verifies that the
# directory is set and that DependentLoadFlags reads LOAD_LIBRARY_SEARCH_SYSTEM32.
set -euo pipefail
check=false
[ "$1" = --check ] && { check=true; shift; }
exe=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
le32() { local v=$1; printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)); }

pe=$(u32 "$exe" 60)
magic=$(u16 "$exe" $((pe + 24)))
case $magic in
  267) directories=$((pe + 24 + 96)); flags_at=54 ;;   # PE32
  523) directories=$((pe + 24 + 112)); flags_at=78 ;;  # PE32+
  *) echo "$exe: not a PE image" >&2; exit 1 ;;
esac
entry=$((directories + 10 * 8))
read -r base <<<"$($objdump -p "$exe" | awk '/^ImageBase/ {print $2}')"
read -r vma offset <<<"$($objdump -h "$exe" | awk '$2 == ".loadcfg" {print $4, $6}')"
[ -n "${vma:-}" ] || { echo "$exe: no .loadcfg section" >&2; exit 1; }
rva=$((0x$vma - 0x$base))
offset=$((0x$offset))
size=$(u32 "$exe" "$offset")

if $check; then
  [ "$(u32 "$exe" "$entry")" = "$rva" ] && [ "$(u32 "$exe" $((entry + 4)))" = "$size" ] ||
    { echo "$exe: the load configuration directory is not set"; exit 1; }
  loadflags=$(u16 "$exe" $((offset + flags_at)))
  [ "$loadflags" = 2048 ] ||
    { echo "$exe: DependentLoadFlags is $loadflags, not LOAD_LIBRARY_SEARCH_SYSTEM32 (2048)"; exit 1; }
  echo "$exe: DependentLoadFlags 0x800 (imports from System32 only on Windows 10 1607 and later)"
  exit 0
fi
printf "%b" "$(le32 "$rva")$(le32 "$size")" | dd of="$exe" bs=1 seek="$entry" conv=notrunc status=none
