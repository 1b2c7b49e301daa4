#!/usr/bin/env bash
# Makes a fresh private Wine prefix for one run: Korean, Chinese and Japanese
# glyphs linked to NanumGothic, WenQuanYi Micro Hei and IPAGothic (Wine's own
# Tahoma has Latin and Cyrillic), every program in a 1920x1200 virtual desktop (so that the
# display modes are the usual list), no crash dialogs.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
mkdir -p "$prefix"
"$VORN_WINE" wineboot -i >/dev/null 2>&1
reg() { "$VORN_WINE" reg add "$@" /f >/dev/null 2>&1; }
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" Gulim "Microsoft Sans Serif"; do
  reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei\0NanumGothic.ttf,NanumGothic\0ipag.ttf,IPAGothic'
done
reg 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1920x1200
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
wineserver -w
