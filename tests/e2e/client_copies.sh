# Scenarios of a game installed under Program Files (x86) whose client Windows
# virtualizes: its copies stand in the player's VirtualStore, where Windows
# would put them (Wine itself does not virtualize).
# shellcheck shell=bash

# Settings in the prefix's registry, in the 64-bit view Windows reads them
# from; Wine acts on none of them, the tool does.
reg_set() { "$VORN_WINE" reg add "$1" /v "$2" /t "$3" /d "$4" /f /reg:64 >/dev/null 2>&1; }
reg_unset() { "$VORN_WINE" reg delete "$1" /v "$2" /f /reg:64 >/dev/null 2>&1; }
policies='HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\System'
user_layers='HKCU\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers'
machine_layers='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers'

# A game folder under Program Files (x86) with the given stand-in client
# (plain, as_invoker or commented), and the VirtualStore folder of its copies:
# $store on the host, $store_win as the tool names it.
new_installed_game() {
  local name user
  name="VornE2E.$$.$RANDOM"
  user=$(whoami)
  game="$WINEPREFIX/drive_c/Program Files (x86)/$name"
  mkdir -p "$game"
  cp -r "$build/dist/." "$game/"
  cp "$build/e2e/driver.exe" "$root/sample/VornSafeMode.cfg" "$game/"
  cp "$root/build/win32/e2e/clients/client_$1.exe" "$game/VornClient.exe"
  store="$WINEPREFIX/drive_c/users/$user/AppData/Local/VirtualStore/Program Files (x86)/$name"
  store_win="C:\\users\\$user\\AppData\\Local\\VirtualStore\\Program Files (x86)\\$name"
  client_win="C:\\Program Files (x86)\\$name\\VornClient.exe"
  mkdir -p "$store"
}
remove_installed_game() { rm -rf "$game" "$store"; }

# The sample at 1024 x 768, as the client saved it in its copy.
sample_as_copy() { sed 's/^Width = 1280/Width = 1024/; s/^Height = 1024/Height = 768/' "$root/sample/Vorn.cfg"; }
copy_saved_on_default_card() {
  sample_saved_on_default_card | sed 's/^width = 1280/width = 1024/; s/^height = 1024/height = 768/'
}

scenario "a 32-bit client without a manifest reads its VirtualStore copies: shown, Cancel leaves them, OK saves them into the game folder and removes them, read-only or not"
new_installed_game plain
cp "$root/sample/Vorn.cfg" "$game/"
sample_as_copy > "$store/Vorn.cfg"
cp "$store/Vorn.cfg" "$game/copy-before.cfg"
printf 'Width = 800\r\nHeight = 600\r\nSafe = 1\r\n' > "$store/VornSafeMode.cfg"
check cancel drive start dialog text 1002 "1024 x 768 , 32bit" click 2 exit 0
check "copy kept" same_file "$store/Vorn.cfg" "$game/copy-before.cfg"
check "game folder's file kept" same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
# A copy the player marked read-only is removed all the same.
chmod a-w "$store/Vorn.cfg"
check ok drive start dialog text 1002 "1024 x 768 , 32bit" click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(copy_saved_on_default_card)
check "safe-mode copy moved as it stood" expect_file "$game/VornSafeMode.cfg" < <(printf 'Width = 800\nHeight = 600\nSafe = 1\n')
check "copy removed" absent "$store/Vorn.cfg"
check "safe-mode copy removed" absent "$store/VornSafeMode.cfg"
check "no temporary file" no_temporaries
remove_installed_game
finish

scenario "a client that states its execution level reads no copy: one in the VirtualStore is neither read nor touched"
new_installed_game as_invoker
cp "$root/sample/Vorn.cfg" "$game/"
sample_as_copy > "$store/Vorn.cfg"
cp "$store/Vorn.cfg" "$game/copy-before.cfg"
check drive drive start dialog text 1002 "1280 x 1024 , 32bit" click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "copy untouched" same_file "$store/Vorn.cfg" "$game/copy-before.cfg"
remove_installed_game
finish

scenario "a copy another program holds open: saved, the box names the copy and the dialog stays; let go, OK removes it"
new_installed_game commented
sample_as_copy > "$store/Vorn.cfg"
check drive drive start dialog hold-open "$store_win\\Vorn.cfg" 4000 click 1 \
  box-with Vorn @157 "$store_win\\Vorn.cfg" @158 end dialog sleep 4000 click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(copy_saved_on_default_card)
check "copy removed" absent "$store/Vorn.cfg"
check "no temporary file" no_temporaries
remove_installed_game
finish

scenario "a VirtualStore folder that is a link to another folder: refused at the first copy looked for, named, nothing read or removed"
new_installed_game plain
elsewhere=$(mktemp -d "$out/elsewhere.XXXX")
sample_as_copy > "$elsewhere/Vorn.cfg"
rmdir "$store"
ln -s "$elsewhere" "$store"
check drive drive start box-with Vorn @123 "$store_win\\VornSafeMode.cfg" @126 end no-dialog exit 0
check "linked file untouched" expect_file "$elsewhere/Vorn.cfg" < <(sample_as_copy | sed 's/\r$//')
check "nothing saved" absent "$game/Vorn.cfg"
rm -f "$store"
remove_installed_game
finish

scenario "a VirtualStore copy written before the game folder's Vorn.cfg: the game folder's file is shown and saved, and the copy removed"
new_installed_game plain
cp "$root/sample/Vorn.cfg" "$game/"
sample_as_copy > "$store/Vorn.cfg"
touch -d '60 days ago' "$store/Vorn.cfg"
check ok drive start dialog text 1002 "1280 x 1024 , 32bit" click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "copy removed" absent "$store/Vorn.cfg"
check "no temporary file" no_temporaries
remove_installed_game
finish

scenario "a client Windows would not virtualize, run as administrator by the player's or the machine's layers, or with UAC or virtualization off: the copy is neither read nor touched"
new_installed_game plain
cp "$root/sample/Vorn.cfg" "$game/"
sample_as_copy > "$store/Vorn.cfg"
cp "$store/Vorn.cfg" "$game/copy-before.cfg"
for setting in "$user_layers|$client_win|REG_SZ|~ RUNASADMIN" \
  "$machine_layers|$client_win|REG_SZ|~ WIN7RTM RUNASADMIN" \
  "$policies|EnableLUA|REG_DWORD|0" "$policies|EnableVirtualization|REG_DWORD|0"; do
  IFS='|' read -r key value type data <<<"$setting"
  reg_set "$key" "$value" "$type" "$data"
  check "$value $data" drive start dialog text 1002 "1280 x 1024 , 32bit" click 2 exit 0
  check "copy untouched ($value $data)" same_file "$store/Vorn.cfg" "$game/copy-before.cfg"
  reg_unset "$key" "$value"
done
remove_installed_game
finish

scenario "no desktop shell whose user is the player: the tool says so, shows and saves the game folder's file, and leaves the copy"
new_installed_game plain
cp "$root/sample/Vorn.cfg" "$game/"
sample_as_copy > "$store/Vorn.cfg"
cp "$store/Vorn.cfg" "$game/copy-before.cfg"
check drive drive no-shell start box-with Vorn @159 @160 end dialog text 1002 "1280 x 1024 , 32bit" \
  click 1 exit 0
check saved expect_file "$game/Vorn.cfg" < <(sample_saved_on_default_card)
check "copy untouched" same_file "$store/Vorn.cfg" "$game/copy-before.cfg"
remove_installed_game
finish
