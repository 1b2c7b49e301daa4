# Scenarios run by run.sh: a game folder that another user planted links in,
# and a Vorn.cfg that another program rewrites while the dialog is open.
# shellcheck shell=bash

card default

# A file outside the game folder that only its owner may read, as an
# administrator's would be.
new_outside() {
  outside=$(mktemp -d "$out/outside.XXXX")
  printf 'secret = 1\r\n' > "$outside/victim.cfg"
  chmod 600 "$outside/victim.cfg"
}
outside_untouched() {
  [ "$(cat "$outside/victim.cfg")" = $'secret = 1\r' ] &&
    [ "$(stat -c %a "$outside/victim.cfg")" = 600 ] ||
    { echo "  $outside/victim.cfg was changed"; return 1; }
}
plant() {  # kind (symbolic or hard), target, name
  if [ "$1" = symbolic ]; then ln -s "$2" "$3"; else ln "$2" "$3"; fi
}
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
plain_file() { [ -f "$1" ] && [ ! -L "$1" ] && [ "$(stat -c %h "$1")" = 1 ]; }

for file in Vorn.cfg VornSafeMode.cfg; do
  for kind in symbolic hard; do
    scenario "$file as a $kind link: the message says where it leads; nothing is read or written"
    new_game
    new_outside
    rm -f "$game/$file"
    plant "$kind" "$outside/victim.cfg" "$game/$file"
    before=$(ls -A "$game")
    if [ "$kind" = symbolic ]; then leads=$(windows_path "$outside/victim.cfg"); else leads="@125{n}2"; fi
    check drive drive start box-with Vorn @123 "full:$file" "$leads" @126 end no-dialog exit 0
    check "nothing written" test "$(ls -A "$game")" = "$before"
    check "outside untouched" outside_untouched
    finish
  done
done

scenario "a Vorn.cfg rewritten by another program while the dialog is open keeps its changes"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
drive start dialog select 1004 2 hold ready.mark done.mark click 1 exit 0 &
driver=$!
for _ in $(seq 600); do [ -e "$game/ready.mark" ] && break; sleep 0.1; done
# The patcher writes a new file in place: a changed value and a new key.
sed -e 's/^TestMode = 0/TestMode = 5/' -e 's/^ID = player/ID = patched/' "$root/sample/Vorn.cfg" \
  > "$game/patched.cfg"
printf 'PatchLevel = 12\r\n' >> "$game/patched.cfg"
cat "$game/patched.cfg" > "$game/Vorn.cfg"
touch "$game/done.mark"
check drive wait "$driver"
check saved expect_file "$game/Vorn.cfg" < <(
  sample_saved_on_default_card |
    sed -e 's/^waterreflection = 0$/waterreflection = 1/' -e 's/^object = 1$/object = 2/' \
      -e 's/^ocean = 2$/ocean = 3/' -e 's/^testmode = 0$/testmode = 5/' -e 's/^id = player$//' |
    grep -v '^$'
  echo "id = patched"
  echo "patchlevel = 12"
)
finish

scenario "a Vorn.cfg given a second name while the dialog is open is left alone; the dialog stays"
new_game
new_outside
cp "$root/sample/Vorn.cfg" "$game/"
drive start dialog hold ready.mark done.mark click 1 box-with Vorn @123 "full:Vorn.cfg" "@125{n}2" @126 end \
  dialog sel 1015 2 click 2 exit 0 &
driver=$!
for _ in $(seq 600); do [ -e "$game/ready.mark" ] && break; sleep 0.1; done
ln "$game/Vorn.cfg" "$outside/second-name.cfg"
touch "$game/done.mark"
check drive wait "$driver"
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
check "no temporary file" no_temporaries
finish
