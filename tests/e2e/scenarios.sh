# Scenarios run by run.sh. Each starts from a fresh game folder ($game).
# shellcheck shell=bash

card default

scenario "no resource library: built-in message, no dialog, normal exit"
new_game
cp "$root/sample/Vorn.cfg" "$game/Vorn.cfg"
rm -r "$game/rscdll"
check drive drive start box Vorn "Cannot load resource dll." no-dialog exit 0
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
check drive drive start dialog items click 2 exit 0
check unchanged same_file "$game/Vorn.cfg" "$root/sample/Vorn.cfg"
finish

scenario "the close box saves nothing"
new_game
check drive drive start dialog close exit 0
check untouched absent "$game/Vorn.cfg"
finish

scenario "screenshot of the dialog"
new_game
cp "$root/sample/Vorn.cfg" "$game/Vorn.cfg"
drive start dialog hold ready.mark done.mark close exit 0 &
driver=$!
for _ in $(seq 200); do [ -e "$game/ready.mark" ] && break; sleep 0.1; done
sleep 0.5
check screenshot import -window root "$out/dialog.png"
touch "$game/done.mark"
check drive wait $driver
echo "  screenshot: $out/dialog.png"
finish
