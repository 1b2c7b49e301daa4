# Sourced by run.sh when named (scripts/bench-startup.sh does, for `make
# bench`): speed is a figure to read, not a test to pass. The tool and a
# baseline that only does what must be done, started in turn.
# shellcheck shell=bash
scenario "start-up time against a baseline that only does what must be done"
new_game
cp "$root/sample/Vorn.cfg" "$game/"
check timing drive timing "${VORN_TIMING_ROUNDS:-11}"
finish
