# Sourced by run.sh when named (scripts/bench-startup.sh does, for `make
# bench`): speed is a figure to read, not a test to pass. The tool and a
# baseline that only does what must be done, started in turn.
# shellcheck shell=bash
scenario "start-up time against a baseline that only does what must be done"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check timing drive timing "${VORN_TIMING_ROUNDS:-11}"
finish

scenario "where the start-up's time goes, from one traced round"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
(cd "$game" && WINEDEBUG=+timestamp,+loaddll,+process,+file "$VORN_WINE" driver.exe timing 1 \
  > "$out/startup-steps.txt" 2>&1)
check steps awk -f "$root/scripts/startup-steps.awk" "$out/startup-steps.txt"
finish
