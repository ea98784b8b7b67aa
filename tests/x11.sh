# Sourced by the test scripts that need a display: starts a private X server
# (Xvfb) and reaches its clipboard through xclip. Bash.

xvfb_pid=

# start_xvfb WORK-DIR [SCREEN]: a display of our own, on a number Xvfb picks
# itself (written to fd 3), so that parallel runs never meet. Sets DISPLAY.
# With -noreset the server does not start over each time its last client
# leaves, which would turn away a client that comes just then.
start_xvfb() {
  local work="$1" screen="${2:-320x200x8}"
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "$screen" 3>"$work/display" \
    2>"$work/xvfb.log" &
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

# read_clipboard FILE STATUS TEXT: reads the clipboard into FILE until xclip
# exits with STATUS and FILE holds TEXT, for up to 5 s, and returns xclip's
# last exit code. xclip -in returns before the X server has made it the owner,
# so a clipboard just set may still show the text before it for a moment.
read_clipboard() {
  local file="$1" want_status="$2" want="$3" status=
  printf '%s' "$want" >"$file.want"
  for _ in $(seq 50); do
    xclip -selection clipboard -out >"$file" 2>/dev/null
    status=$?
    [ "$status" = "$want_status" ] && cmp -s "$file.want" "$file" && break
    sleep 0.1
  done
  rm -f "$file.want"
  return "$status"
}

# put TEXT: puts TEXT on the clipboard and waits until the clipboard shows it.
put() {
  printf '%s' "$1" | xclip -selection clipboard -in
  read_clipboard "${TMPDIR:-/tmp}/qln-put.$$" 0 "$1"
  rm -f "${TMPDIR:-/tmp}/qln-put.$$"
}
