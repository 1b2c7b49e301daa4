# Sourced: makes sure there is a display, starting a private Xvfb when the
# session has none (it ends with the sourcing script).
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$((100 + RANDOM % 100))
  Xvfb "$DISPLAY" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
  vorn_xvfb=$!
  # Every command here must succeed: under set -e a failing one would become
  # the script's exit status.
  trap 'WINEPREFIX=$VORN_WINEPREFIX wineserver -k 2>/dev/null || true; sleep 0.5
        kill $vorn_xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export VORN_HEADLESS=1
fi
