# Sourced: gives the scripts a display for the windows the programs open. An
# existing DISPLAY is used as it is; otherwise a virtual one is started, on a
# display number Xvfb picks itself (-displayfd), so that scripts started
# together never race for one number.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$number_file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do
    if [ -s "$number_file" ] && DISPLAY=":$(head -1 "$number_file")" xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=":$(head -1 "$number_file")"
      rm -f "$number_file"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  echo "display: Xvfb did not start" >&2
  return 1
}

stop_display() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
