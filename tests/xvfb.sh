# Sourced by the test scripts that need a display: starts a private X server
# (Xvfb) and sets DISPLAY; `stop_xvfb` ends it. Bash.

xvfb_pid=

# start_xvfb WORK-DIR [SCREEN]: a display of our own, on a number Xvfb picks
# itself (written to fd 3), so that parallel runs never meet.
start_xvfb() {
  local work="$1" screen="${2:-320x200x8}"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start"; cat "$work/xvfb.log"; return 1
  fi
  export DISPLAY=":$(head -n1 "$work/display")"
  unset WAYLAND_DISPLAY
}

stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
}
