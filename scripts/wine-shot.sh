# Sourced: shoot GAME PICTURE STEPS... runs the driver in GAME with STEPS,
# which hold the dialog open with "hold ready.mark done.mark"; meanwhile the
# dialog is photographed into PICTURE. Answers the driver's status.
shoot() {
  local game=$1 picture=$2
  shift 2
  rm -f "$game/ready.mark" "$game/done.mark"
  (cd "$game" && "$VORN_WINE" driver.exe "$@") &
  local driver=$!
  for _ in $(seq 300); do [ -s "$game/ready.mark" ] && break; sleep 0.1; done
  sleep 0.3
  import -window root -crop "$(tr -d '\r' < "$game/ready.mark")" +repage "$picture"
  touch "$game/done.mark"
  wait $driver
}
