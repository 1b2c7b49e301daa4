# Scenarios run by run.sh after scenarios.sh: damaged and huge files, a full
# disk, a tool started from another folder, the keyboard alone.
# shellcheck shell=bash

card default

scenario "started from another folder: the current folder's library and files are used"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
elsewhere=$(mktemp -d "$out/elsewhere.XXXX")
mv "$game/VornOption.exe" "$elsewhere/"
check drive drive start-from "..\\$(basename "$elsewhere")\\VornOption.exe" dialog sel 1015 2 \
  text 1002 "1280 x 1024 , 32bit" click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "nothing beside the program" absent "$elsewhere/Vorn.cfg"
finish

scenario "a Vorn.cfg every user may write stays so after a save"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
chmod 666 "$game/Vorn.cfg"
check drive drive start dialog click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "others may still write" test "$(stat -c %A "$game/Vorn.cfg" | cut -c9)" = w
finish

scenario "an empty Vorn.cfg opens as a first start and is written as one"
new_game
: > "$game/Vorn.cfg"
check drive drive start dialog sel 1015 0 sel 1003 2 text 1002 "1024 x 768 , 32bit" \
  click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(first_start_pairs; echo "id = ")
finish

scenario "a zero-filled Vorn.cfg opens as a first start; its bytes are kept after the pairs"
new_game
head -c 4096 /dev/zero > "$game/Vorn.cfg"
check drive drive start dialog sel 1015 0 text 1002 "1024 x 768 , 32bit" \
  click 1 exit 0
{ first_start_pairs | sed 's/$/\r/'; head -c 4096 /dev/zero; } > "$game/expected.cfg"
check saved same_file "$game/Vorn.cfg" "$game/expected.cfg"
finish

scenario "a Vorn.cfg without Width and Height gets the safe-mode resolution"
new_game
grep -v -E '^(Width|Height) ' "$root/sample/Vorn.cfg" > "$game/Vorn.cfg"
check drive drive start dialog sel 1015 2 text 1002 "1024 x 768 , 32bit" \
  click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(
  sample_saved_on_default_card | grep -v -E '^(width|height) '
  printf 'width = 1024\nheight = 768\n'
)
finish

for size in 1200M 3G; do
  scenario "a Vorn.cfg of $size is refused with its full path; nothing is written"
  new_game
  printf 'Width = 1600\r\n' > "$game/Vorn.cfg"
  truncate -s "$size" "$game/Vorn.cfg"  # sparse: costs no disk
  check drive drive start box-with Vorn @122 full:Vorn.cfg end exit 0
  check "untouched" test "$(stat -c %s "$game/Vorn.cfg")" = "$(numfmt --from=iec "$size")"
  check "untouched" test "$(head -c 14 "$game/Vorn.cfg")" = $'Width = 1600\r'
  check "no temporary file" no_temporaries
  finish
done

scenario "a safe-mode file too large to read is named in the player's language; nothing is written"
new_game
truncate -s 1200M "$game/VornSafeMode.cfg"
check drive drive start box-with Vorn @122 full:VornSafeMode.cfg end no-dialog exit 0
check "no Vorn.cfg" absent "$game/Vorn.cfg"
finish

if [ "$(id -u)" -ne 0 ]; then
  echo "-- a full disk: skipped, mounting a small disk needs root"
else
  scenario "a full disk: the Korean message with the full path; the old file whole, no temporary file"
  new_game
  disk=$game
  # Never fill anything but the small disk.
  if mount -t tmpfs -o size=4m vorn-full-disk "$disk"; then
    cp -r "$build/dist/." "$build/e2e/driver.exe" "$root/sample/"{VornSafeMode,Vorn}.cfg "$disk/"
    cat /dev/zero > "$disk/filler" 2>/dev/null
    check drive drive start dialog click 1 box-with Vorn @120 full:Vorn.cfg @121 end \
      box-save ../disk-full-box.txt dialog click 2 exit 0
    check unchanged same_file "$disk/Vorn.cfg" "$root/sample/Vorn.cfg"
    check "no temporary file" no_temporaries
    echo "  the message shown:"
    sed 's/^/    /' "$out/disk-full-box.txt" 2>/dev/null && echo
    wineserver -w
    umount "$disk" || umount -l "$disk"
  else
    check "a small disk mounted" false
  fi
  finish
fi

scenario "a save cut short the moment its new file appears: Vorn.cfg whole, old or new, nothing left behind"
new_game
{ cat "$root/sample/Vorn.cfg"; seq 400000 | sed 's/.*/filler& = &\r/'; } > "$game/Vorn.cfg"
cp "$game/Vorn.cfg" "$out/cut-old.cfg"
check drive drive start dialog cut-save exit 9
if ! cmp -s "$game/Vorn.cfg" "$out/cut-old.cfg"; then
  check "the new file, whole" test "$(grep -c '^filler[0-9]* = ' "$game/Vorn.cfg")" = 400000
  check "the new file, to its end" grep -q '^id = player' "$game/Vorn.cfg"
fi
check "no temporary file" no_temporaries
finish

scenario "the keyboard alone: access keys and arrows change a list and a check box, arrows among the effects change nothing, Enter saves"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
# Up seven times from Windowed mode goes once round the six check boxes; Down
# from Vertical sync comes back to the first of them, never to the buttons.
check drive drive start dialog focus 1015 sel 1004 1 check 1011 0 check 1014 1 \
  key alt+e key down sel 1004 2 check 1011 1 key alt+i check 1014 0 \
  key up key up key up key up key up key up key up focus 1017 \
  key down key down focus 1020 key down focus 1010 sel 1016 1 check 1014 0 key enter exit 0
check saved expect_file "$game/Vorn.cfg" < <(
  sample_saved_on_default_card |
    sed -e 's/^waterreflection = 0$/waterreflection = 1/' -e 's/^object = 1$/object = 2/' \
      -e 's/^ocean = 2$/ocean = 3/' -e 's/^windowmode = 1$/windowmode = 0/'
)
finish
