# Sourced by the Wine scripts: which build the Wine tests run and with which
# loader. Hosts whose kernel has 32-bit emulation switched off cannot run
# 32-bit Wine; there the same sources are tested as a 64-bit build. Where
# both run, VORN_WINE_BUILD=build/win64 asks for the 64-bit one (make bench).
if [ "${VORN_WINE_BUILD:-}" != build/win64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export VORN_WINE=/usr/lib/wine/wine VORN_WINE_BUILD=build/win32
else
  export VORN_WINE=/usr/lib/wine/wine64 VORN_WINE_BUILD=build/win64
fi
export VORN_WINEPREFIX=${VORN_WINEPREFIX:-$PWD/build/wineprefix}
