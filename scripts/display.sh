# Sourced: gives the scripts a display for the windows the programs open. An
# existing DISPLAY is used as it is; otherwise a virtual one is started.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local number=97
  while [ -e "/tmp/.X${number}-lock" ]; do number=$((number + 1)); done
  Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":${number}"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "display: Xvfb did not start" >&2
  return 1
}

stop_display() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
