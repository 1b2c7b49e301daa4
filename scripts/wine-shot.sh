# Sourced by the scenarios and the screenshot script: the emulated video card
# and the README's pictures, each taken with the driver while it holds the
# dialog open. Expects wine-env.sh sourced and WINEPREFIX set.
# shellcheck shell=bash

# The emulated video card: default (llvmpipe as GeForce GTX 470, shader 3.0),
# or a shader model and optionally PCI vendor and device IDs and the video
# memory DXGI reports, in MiB (512 unless given, never the host's, so that
# no scenario depends on the machine). Written by one reg import, whose
# failure is said, so that no value can go missing alone.
card() {
  local file
  file=$(mktemp --suffix=.reg)
  {
    printf 'REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Wine\\Direct3D]\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Direct3D]\n'
    [ "$1" = default ] || printf '"MaxShaderModelPS"=dword:%08x\n' "$1"
    [ $# -lt 3 ] || printf '"VideoPciVendorID"=dword:%08x\n"VideoPciDeviceID"=dword:%08x\n' "$2" "$3"
    printf '"VideoMemorySize"="%s"\n' "${4:-512}"
  } > "$file"
  "$VORN_WINE" reg import "Z:${file//\//\\}" >/dev/null 2>&1 ||
    echo "card $*: the registry was not written" >&2
  rm -f "$file"
}

# The driver in the current folder; the test runner checks its file calls.
run_driver() { "$VORN_WINE" driver.exe "$@"; }

# shoot GAME PICTURE STEPS... runs the driver in GAME with STEPS, which hold
# the dialog open with "hold ready.mark done.mark"; meanwhile the dialog is
# photographed into PICTURE. Answers the driver's status.
shoot() {
  local game=$1 picture=$2
  shift 2
  rm -f "$game/ready.mark" "$game/done.mark"
  (cd "$game" && run_driver "$@") &
  local driver=$!
  for _ in $(seq 300); do [ -s "$game/ready.mark" ] && break; sleep 0.1; done
  sleep 0.3
  import -window root -crop "$(tr -d '\r' < "$game/ready.mark")" +repage "$picture"
  touch "$game/done.mark"
  wait $driver
}

# first_start_shot GAME PICTURE REGION: a first start on the card set, drawn
# with the region's own fonts first, its lists in the region's words; OK
# then creates Vorn.cfg.
first_start_shot() {
  "$(dirname "${BASH_SOURCE[0]}")/wine-font-link.sh" "$3"
  shoot "$1" "$2" start dialog entry 1015 0 @105 entry 1003 1 @104 entry 1003 2 @103 sel 1015 0 \
    text 1002 "1024 x 768 , 32bit" hold ready.mark done.mark click 1 exit 0
}

# recommended_shot GAME PICTURE: the Korean dialog at the highest shader
# version, which the card set offers; closed without saving.
recommended_shot() {
  "$(dirname "${BASH_SOURCE[0]}")/wine-font-link.sh" KR
  shoot "$1" "$2" start dialog select 1015 2 hold ready.mark done.mark close exit 0
}
