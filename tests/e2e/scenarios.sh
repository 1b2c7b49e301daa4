# Scenarios run by run.sh. Each starts from a fresh game folder ($game).
# shellcheck shell=bash

card default

scenario "no resource library: the program's own message names the library, no dialog, normal exit"
new_game
cp "$root/sample/Vorn.cfg" "$game/Vorn.cfg"
library=$(cd "$game/rscdll" && ls VornOption*.dll)
rm -r "$game/rscdll"
check message says_no_library "$library"
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "game client running under another letter case: refused with status 1"
new_game
check drive drive client vornCLIENT.EXE start box @112 @113 no-dialog exit 1
check untouched absent "$game/Vorn.cfg"
finish

scenario "normal start: the dialog titled VornOption with every item; Cancel saves nothing"
new_game
cp "$root/sample/Vorn.cfg" "$game/Vorn.cfg"
check drive drive start dialog items exists VornOption.exe.local 1 click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
check "the name VornOption.exe.local, held while it runs, is let go" absent "$game/VornOption.exe.local"
finish

scenario "a second start brings the minimised dialog forward, restored, and ends at once; another game folder's tool runs beside it"
new_game
other_game=$game
new_game
cp "$root/sample/Vorn.cfg" "$game/Vorn.cfg"
check drive drive start-shown 7 dialog iconic 1 second-start 8000 restored-in-front \
  other-folder-runs "Z:${other_game//\//\\}\\VornOption.exe" click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "a name taken first by another program does not keep the tool from starting"
new_game
check drive drive take-tool-name start dialog click 2 exit 0
finish

scenario "the close box saves nothing"
new_game
check drive drive start dialog close exit 0
check untouched absent "$game/Vorn.cfg"
finish




scenario "first start without Vorn.cfg: recommended values, safe-mode resolution, OK creates it"
new_game
check drive drive start dialog text 1000 "NVIDIA GeForce GTX 470" \
  count 1015 3 sel 1015 0 entry 1015 0 @105 entry 1015 2 @103 sel 1003 2 sel 1016 1 \
  count 1004 1 sel 1004 0 count 1005 2 sel 1005 1 count 1013 1 sel 1013 0 \
  text 1002 "1024 x 768 , 32bit" check 1010 1 check 1012 0 enabled 1012 0 enabled 1011 0 \
  enabled 1017 0 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(first_start_pairs; echo "id = ")
check "safe-mode file untouched" same_file "$game/VornSafeMode.cfg" "$root/sample/VornSafeMode.cfg"
finish

card 3 0x10de 0x0191 768  # NVIDIA GeForce 8800 GTX

scenario "existing Vorn.cfg shown; lists 1004 and 1013 drive their check boxes; OK saves"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog text 1000 "NVIDIA GeForce 8800 GTX" \
  sel 1015 2 sel 1004 1 sel 1007 1 sel 1005 1 sel 1008 1 sel 1006 1 sel 1013 2 sel 1003 2 \
  sel 1016 1 text 1002 "1280 x 1024 , 32bit" check 1010 1 check 1011 0 enabled 1011 0 \
  check 1012 1 check 1017 1 check 1014 1 check 1020 0 \
  select 1004 2 check 1011 1 enabled 1011 1 select 1013 0 check 1017 0 enabled 1017 0 \
  click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(
  cat <<'CFG'
glarerender = 1
shaderversion = 2
supportshader = 3
shadowmap = 1
waterreflection = 1
volumecloud = 0
texture = 2
character = 1
heightfield = 2
object = 2
ocean = 3
sky = 1
tree = 0
treenormalmap = 0
bit = 32
width = 1280
height = 1024
windowmode = 1
audio = 1
vsync = 0
CFG
  sample_unknown_keys
  printf 'videocard = NVIDIA_GeForce_8800_GTX\nid = player\n'
)
finish

scenario "screenshot of the recommended settings for a GeForce 8800 GTX"
new_game
check shot recommended_shot "$game" "$out/dialog.png"
echo "  screenshot: $out/dialog.png"
finish

scenario "changing the shader version refills the lists; the button applies the recommended values"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog select 1015 1 \
  count 1004 2 count 1007 1 count 1005 2 count 1006 1 count 1008 2 count 1013 1 \
  sel 1006 0 sel 1005 1 sel 1008 1 sel 1004 1 sel 1015 1 sel 1013 0 sel 1007 0 \
  check 1010 1 check 1011 0 check 1012 0 check 1017 0 check 1020 0 \
  select 1015 2 count 1004 3 count 1013 3 \
  sel 1006 2 sel 1005 2 sel 1008 2 sel 1004 2 sel 1013 2 sel 1007 2 \
  check 1011 1 check 1012 1 check 1017 1 check 1020 0 \
  select 1006 0 click 1009 sel 1006 2 text 1002 "1280 x 1024 , 32bit" click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(
  cat <<'CFG'
glarerender = 1
shaderversion = 2
supportshader = 3
shadowmap = 1
waterreflection = 1
volumecloud = 1
texture = 2
character = 2
heightfield = 3
object = 2
ocean = 3
sky = 2
tree = 2
treenormalmap = 1
bit = 32
width = 1280
height = 1024
windowmode = 1
audio = 1
vsync = 0
CFG
  sample_unknown_keys
  printf 'videocard = NVIDIA_GeForce_8800_GTX\nid = player\n'
)
finish

# The recommended settings at the highest shader version on the card set:
# its name, then the first column (high-end) or the second.
first_column=(sel 1006 2 sel 1005 2 sel 1008 2 sel 1004 2 sel 1015 2 sel 1013 2 sel 1007 2
  check 1010 1 check 1011 1 check 1012 1 check 1017 1 check 1020 0)
second_column=(sel 1006 1 sel 1005 1 sel 1008 1 sel 1004 1 sel 1015 2 sel 1013 2 sel 1007 1
  check 1010 1 check 1011 0 check 1012 1 check 1017 1 check 1020 1)
recommended_on() {  # the card's name, the column's steps...
  local name=$1
  shift
  new_game
  cp "$root/sample/Vorn.cfg" "$game/"
  check drive drive start dialog text 1000 "$name" click 1009 "$@" click 2 exit 0
  check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
}

card 3 0x1002 0x9581 256  # ATI Mobility Radeon HD 2600: not high-end
scenario "recommended settings for a Radeon HD 2600 at the highest shader version"
recommended_on "ATI Mobility Radeon HD 2600" "${second_column[@]}"
finish

card 3 0x10de 0x1f08 6144  # NVIDIA GeForce RTX 2060, 6 GiB: high-end by its memory
scenario "recommended settings for a GeForce RTX 2060 with 6 GiB: the first column, as for the high-end cards of the game's day"
recommended_on "NVIDIA GeForce RTX 2060" "${first_column[@]}"
finish

card 3 0x10de 0x0402 256  # NVIDIA GeForce 8600 GT, 256 MiB: not high-end
scenario "recommended settings for a GeForce 8600 GT with 256 MiB at the highest shader version: the second column"
recommended_on "NVIDIA GeForce 8600 GT" "${second_column[@]}"
finish

card 2  # pixel shader 2.0: NVIDIA GeForce FX 5800

scenario "stored levels capped by the stored shader version; unknown keys kept in place"
new_game
printf 'Foo = bar\r\nShaderVersion = 0\r\nObject = 2\r\nSky = 1\r\nOcean = 3\r\nHeightField = 3\r\nWidth = 1280\r\nHeight = 1024\r\n' > "$game/Vorn.cfg"
check drive drive start dialog text 1000 "NVIDIA GeForce FX 5800" count 1015 3 sel 1015 0 \
  sel 1005 1 sel 1008 0 sel 1004 0 sel 1007 0 sel 1003 -1 check 1012 0 check 1014 1 \
  check 1020 1 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" <<'CFG'
foo = bar
shaderversion = 0
object = 1
sky = 0
ocean = 1
heightfield = 1
width = 1280
height = 1024
glarerender = 0
supportshader = 2
shadowmap = 1
waterreflection = 0
volumecloud = 0
texture = -1
character = 0
tree = 0
treenormalmap = 0
bit = 32
windowmode = 1
audio = 1
vsync = 1
videocard = NVIDIA_GeForce_FX_5800
id = 
CFG
finish

card 1  # pixel shader 1.x: NVIDIA GeForce3

scenario "a shader 1.x card offers two shader versions and never stores the tree normal map"
new_game
printf 'ShaderVersion = 1\r\nTree = 2\r\nTreeNormalMap = 1\r\n' > "$game/Vorn.cfg"
check drive drive start dialog text 1000 "NVIDIA GeForce3" count 1015 2 sel 1015 1 \
  count 1004 2 count 1013 1 sel 1003 -1 click 1 exit 0
check saved grep -q $'^treenormalmap = 0\r$' "$game/Vorn.cfg"
check saved grep -q $'^supportshader = 1\r$' "$game/Vorn.cfg"
finish

card 0  # no pixel shader: NVIDIA GeForce 256

scenario "without pixel shaders the effects are cleared on screen and stored off"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog count 1015 1 sel 1015 -1 check 1012 1 click 1 exit 0
for key in glarerender waterreflection treenormalmap supportshader; do
  check "$key off" grep -q "^$key = 0"$'\r$' "$game/Vorn.cfg"
done
finish

card default

scenario "a read-only Vorn.cfg is replaced and left writable"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
chmod a-w "$game/Vorn.cfg"
check drive drive start dialog click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check writable test "$(stat -c %A "$game/Vorn.cfg" | cut -c3)" = w
finish

scenario "a read-only Vorn.cfg another program holds open: the save is refused and it stays read-only; let go, OK saves"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
chmod a-w "$game/Vorn.cfg"
check drive drive start dialog read-only Vorn.cfg 1 hold-open Vorn.cfg 4000 click 1 \
  box-contains Vorn "Vorn.cfg" read-only Vorn.cfg 1 dialog sleep 4000 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check writable test "$(stat -c %A "$game/Vorn.cfg" | cut -c3)" = w
check "no temporary file" no_temporaries
finish

scenario "a Vorn.cfg.tmp folder left behind does not stand in the way of a save"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
mkdir "$game/Vorn.cfg.tmp"
check drive drive start dialog click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "left alone" test -d "$game/Vorn.cfg.tmp"
finish

scenario "a folder where Vorn.cfg must go: it cannot be read, so the tool says so and ends"
new_game
mkdir "$game/Vorn.cfg"
check drive drive start box-with Vorn @127 "full:Vorn.cfg" @131 end no-dialog exit 0
check "still a folder" test -d "$game/Vorn.cfg"
check "no temporary file" no_temporaries
finish

scenario "a folder put where Vorn.cfg was while the dialog is open: OK gives that reason's advice, the dialog stays"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog delete Vorn.cfg mkdir Vorn.cfg click 1 \
  box-with Vorn @120 "full:Vorn.cfg" @152 end dialog click 2 exit 0
check "still a folder" test -d "$game/Vorn.cfg"
check "no temporary file" no_temporaries
finish

scenario "a planted d3d9.dll in the game folder is never loaded"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
cp "$build/e2e/d3d9.dll" "$game/"
WINEDLLOVERRIDES="d3d9=n,b" check drive drive start dialog click 1 exit 0
check "tool loaded no planted code" absent "$game/planted-d3d9-in-VornOption.exe.txt"
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
WINEDLLOVERRIDES="d3d9=n,b" check "an ordinary import does load it" drive run Baseline.exe 2
check "so the check can fail" test -e "$game/planted-d3d9-in-Baseline.exe.txt"
finish

scenario "a planted bcrypt.dll in the game folder never runs; the save still makes its random name"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
cp "$build/e2e/bcrypt.dll" "$build/e2e/imports_planted.exe" "$game/"
WINEDLLOVERRIDES="bcrypt=n,b" check drive drive start dialog click 1 exit 0
check "tool loaded no planted code" absent "$game/planted-bcrypt-in-VornOption.exe.txt"
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
WINEDLLOVERRIDES="bcrypt=n,b" check "an ordinary import does load it" drive run imports_planted.exe 0
check "so the check can fail" test -e "$game/planted-bcrypt-in-imports_planted.exe.txt"
finish

# With "n,b" Wine searches for these as Windows does for a library that is
# no known DLL, the program's folder first.
scenario "libraries the common controls ask for by name, planted in the game folder, never run"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
cp "$build/e2e/uxtheme.dll" "$build/e2e/msimg32.dll" "$build/e2e/dwmapi.dll" \
  "$build/e2e/imports_planted.exe" "$game/"
planted_by_name="uxtheme,msimg32,dwmapi=n,b"
WINEDLLOVERRIDES=$planted_by_name check drive drive start dialog click 1 exit 0
for name in uxtheme msimg32 dwmapi; do
  check "no planted $name.dll ran" absent "$game/planted-$name-in-VornOption.exe.txt"
done
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
WINEDLLOVERRIDES=$planted_by_name check "a program importing the common controls" \
  drive run imports_planted.exe 0
check "runs a planted uxtheme.dll: the checks can fail" \
  test -e "$game/planted-uxtheme-in-imports_planted.exe.txt"
finish

# A name beside the program that steers Windows' loader: the tool names it in
# its own words and stops before the common controls load, writing nothing.
refused_for() {  # the name beside VornOption.exe, driver steps before the start
  check "named in the message" drive "${@:2}" start box-with Vorn "full:$1" end box-save box.txt \
    no-dialog exit 0
  check "in the program's own words, not the fallback" test "$(grep -c . "$game/box.txt")" -ge 3
  check "left as it was" test -e "$game/$1"
  check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
  check "no temporary file" no_temporaries
}

# A leftover is empty and hidden, as the hold a power cut leaves: one that
# is a link to such a file elsewhere, or held by another program, is not.
for kind in folder file "folder link" "link to a leftover" "held leftover"; do
  scenario "a VornOption.exe.local $kind beside the program stops it before the common controls load"
  new_game
  cp "$root/sample/Vorn.cfg" "$game/"
  before=()
  elsewhere=$(mktemp -d "$out/elsewhere.XXXX")
  case $kind in
    folder)
      mkdir -p "$game/VornOption.exe.local/x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.0.0_none"
      cp "$build/e2e/uxtheme.dll" \
        "$game/VornOption.exe.local/x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.0.0_none/comctl32.dll" ;;
    file) echo planted > "$game/VornOption.exe.local" ;;
    "folder link") ln -s "$elsewhere" "$game/VornOption.exe.local" ;;
    "link to a leftover")
      ln -s "$elsewhere/leftover" "$game/VornOption.exe.local"
      before=(hidden-file "Z:${elsewhere//\//\\}\\leftover") ;;
    "held leftover") before=(hidden-file VornOption.exe.local lock VornOption.exe.local 8000) ;;
  esac
  refused_for VornOption.exe.local "${before[@]}"
  check "nothing ran" absent "$game/planted-uxtheme-in-VornOption.exe.txt"
  [ "$kind" != "link to a leftover" ] || check "the file linked to is kept" test -e "$elsewhere/leftover"
  finish
done

scenario "a leftover VornOption.exe.local of a tool that never ended is taken over, held, and let go"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive hidden-file VornOption.exe.local start dialog exists VornOption.exe.local 1 \
  click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
check "let go at the end" absent "$game/VornOption.exe.local"
finish

side_by_side='HKLM\Software\Microsoft\Windows\CurrentVersion\SideBySide'
for file in config "manifest where external manifests are preferred" manifest; do
  new_game
  cp "$root/sample/Vorn.cfg" "$game/"
  # A configuration file that would have Windows look for a private copy of
  # the common controls; a manifest that names no assembly at all.
  if [ "$file" = config ]; then
    printf '<configuration><windows><assemblyBinding xmlns="urn:schemas-microsoft-com:asm.v1"><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" processorArchitecture="*" publicKeyToken="6595b64144ccf1df"/><bindingRedirect oldVersion="6.0.0.0" newVersion="6.0.9999.0"/></dependentAssembly></assemblyBinding></windows></configuration>\r\n' \
      > "$game/VornOption.exe.config"
  else
    printf '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0"/>\r\n' \
      > "$game/VornOption.exe.manifest"
  fi
  case $file in
    config)
      scenario "a VornOption.exe.config beside the program stops it before the common controls load"
      refused_for VornOption.exe.config ;;
    manifest)
      scenario "a VornOption.exe.manifest that Windows does not read changes nothing: the tool starts"
      check drive drive start dialog click 2 exit 0
      check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg" ;;
    *)
      scenario "a VornOption.exe.$file stops the tool before the common controls load"
      "$VORN_WINE" reg add "$side_by_side" /v PreferExternalManifest /t REG_DWORD /d 1 /f >/dev/null 2>&1
      refused_for VornOption.exe.manifest
      "$VORN_WINE" reg delete "$side_by_side" /v PreferExternalManifest /f >/dev/null 2>&1 ;;
  esac
  finish
done

scenario "without Direct3D 9 the player is told why over the dialog; the lists stay empty, OK disabled"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
WINEDLLOVERRIDES="d3d9=d" check drive drive start dialog box-with Vorn @129 end \
  count 1015 0 count 1002 0 enabled 1 0 click 1 click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

# The driver's steps with the prefix's own d3d9.dll replaced by a faulty
# driver's, as one would stand in System32 ("n": Wine takes that file).
with_faulty_d3d9() {  # fault (a folder of e2e/faulty), driver steps...
  local fault=$1 system=system32 status
  shift
  [ "$VORN_WINE_BUILD" = build/win32 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] &&
    system=syswow64
  local system_d3d9=$WINEPREFIX/drive_c/windows/$system/d3d9.dll
  cp "$system_d3d9" "$out/d3d9.dll.wine"
  cp "$build/e2e/faulty/$fault/d3d9.dll" "$system_d3d9"
  WINEDLLOVERRIDES="d3d9=n" drive "$@"
  status=$?
  cp "$out/d3d9.dll.wine" "$system_d3d9"
  return $status
}

scenario "a display driver that hangs as it loads: the dialog opens within seconds without it, Cancel ends the tool"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive with_faulty_d3d9 hang_in_dllmain start dialog by 6000 count 1015 0 count 1002 0 \
  enabled 1 0 click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "a display driver that never answers: the dialog opens without it, the player is told, Cancel ends the tool"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive with_faulty_d3d9 hang_in_create start dialog by 6000 count 1015 0 enabled 1 0 \
  box-with Vorn @136 end count 1015 0 enabled 1 0 click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "a display driver that crashes: the player is told at once, the dialog opens without it, Cancel ends the tool"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive with_faulty_d3d9 crash_in_create start box-with Vorn @137 end dialog by 6000 \
  count 1015 0 enabled 1 0 click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "a slow display driver: the dialog opens without it, then fills as if in time; OK saves its card"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive with_faulty_d3d9 slow_create start dialog by 6000 enabled 1 0 wait-enabled 1 \
  text 1000 "Slow Card 3000" count 1015 3 click 1 exit 0
check "its card saved" grep -q -x $'videocard = Slow_Card_3000\r' "$game/Vorn.cfg"
finish

scenario "the probe's switch given by a player: the tool ends at once, showing and writing nothing"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start-with "/probe-direct3d 7" no-dialog exit 0 start-with "/PROBE-DIRECT3D" \
  no-dialog exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "Vorn.cfg rewritten and held by another program as OK is pressed: its change is kept"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
sed -e 's/^TestMode = 0/TestMode = 5/' "$root/sample/Vorn.cfg" > "$game/patched.cfg"
printf 'PatchLevel = 12\r\n' >> "$game/patched.cfg"
check drive drive start dialog copy patched.cfg Vorn.cfg lock Vorn.cfg 400 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(
  sample_saved_on_default_card | sed -e 's/^testmode = 0$/testmode = 5/'
  echo "patchlevel = 12"
)
check "no temporary file" no_temporaries
finish

scenario "Vorn.cfg held open for longer: the error is shown and the file kept; let go, OK saves"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog lock Vorn.cfg 6000 click 1 box-contains Vorn "Vorn.cfg" \
  dialog sleep 6000 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "no temporary file" no_temporaries
finish

scenario "Vorn.cfg held open as the tool starts: the message says so, nothing is written"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive lock Vorn.cfg 8000 start box-with Vorn @127 "full:Vorn.cfg" @128 end no-dialog \
  exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
check "no temporary file" no_temporaries
finish

scenario "VornSafeMode.cfg held open as the tool starts: the message says so, nothing is written"
new_game
check drive drive lock VornSafeMode.cfg 8000 start box-with Vorn @127 "full:VornSafeMode.cfg" \
  @128 end no-dialog exit 0
check "nothing written" absent "$game/Vorn.cfg"
finish

scenario "Vorn.cfg deleted while the dialog is open: saved from the pairs read at start"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start dialog delete Vorn.cfg click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
finish

# Windows applies a shortcut's show command to a program's first ShowWindow
# (Microsoft's ShowWindow remarks); Wine applies none of it, so the maximised
# case holds here either way and is checked for what Windows would do to it.
scenario "a shortcut set to Maximized opens the dialog at its size; Minimized opens it minimised"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check drive drive start-shown 3 dialog zoomed 0 iconic 0 click 2 exit 0
check drive drive start-shown 7 dialog iconic 1 zoomed 0 close exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish
