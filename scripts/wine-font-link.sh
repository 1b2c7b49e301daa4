#!/usr/bin/env bash
# Links the Chinese, Korean and Japanese fonts to the dialog faces of the
# prefix in $WINEPREFIX, the given region's script first, as that region's
# Windows links its own font first: a character both fonts have (a kanji, a
# Latin letter) then takes that script's form. Chinese Windows draws dialogs
# in a Ming (Song) face, PMingLiU in Taiwan and SimSun in China, whose forms
# stay legible at 9 pt where a sans face fills dense ones (畫, 顯) in: AR PL
# UMing TW and CN stand in for them (WenQuanYi Micro Hei's 12-pixel bitmaps
# close 画 into a box). Japanese Windows draws them in a proportional Gothic:
# IPAPGothic, not the fixed-pitch IPAGothic. Without a region, Chinese first.
# Wine reads the links when a program starts.
#   scripts/wine-font-link.sh [KR|CN|TW|JP|RU|GB]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
chinese='wqy-microhei.ttc,WenQuanYi Micro Hei'
simplified='uming.ttc,AR PL UMing CN'
taiwanese='uming.ttc,AR PL UMing TW'
korean='NanumGothic.ttf,NanumGothic'
japanese='ipagp.ttf,IPAPGothic'
case ${1:-CN} in
  KR) fonts="$korean\0$chinese\0$japanese" ;;
  JP) fonts="$japanese\0$chinese\0$korean" ;;
  TW) fonts="$taiwanese\0$chinese\0$korean\0$japanese" ;;
  *) fonts="$simplified\0$chinese\0$korean\0$japanese" ;;
esac
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" Gulim "Microsoft Sans Serif"; do
  "$VORN_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d "$fonts" /f >/dev/null 2>&1
done
