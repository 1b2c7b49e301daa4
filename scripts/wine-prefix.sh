#!/usr/bin/env bash
# Makes a fresh private Wine prefix for one run: Wine's own Tahoma (Latin and
# Cyrillic; what "MS Shell Dlg" stands for) and Marlett (the title bar's
# buttons) in its Fonts folder as Windows has them, Chinese, Korean and
# Japanese glyphs linked to WenQuanYi Micro Hei, NanumGothic and IPAGothic
# (wine-font-link.sh), every program in a 1920x1200 virtual desktop (so that
# the display modes are the usual list), no crash dialogs.
set -euo pipefail
scripts=$(dirname "$0")
source "$scripts/wine-env.sh"
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
mkdir -p "$prefix"
"$VORN_WINE" wineboot -i >/dev/null 2>&1
# Debian's Wine does not load the fonts of its own package (fonts-wine) by itself.
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$prefix/drive_c/windows/Fonts/"
"$scripts/wine-font-link.sh"
reg() { "$VORN_WINE" reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1920x1200
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# UAC on, as Windows ships it (Wine's own prefix says off; Wine acts on neither).
reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\System' /v EnableLUA /t REG_DWORD /d 1 /reg:64
wineserver -w
