#!/usr/bin/env bash
# Converts the text on a real X11 clipboard: starts a private X server (Xvfb),
# puts HTML on its clipboard with xclip, runs qln with no argument, and reads
# the result back with xclip. Skips (77) where Xvfb or xclip is missing, unless
# running under CI, where that is a failure.
set -u
qln_built="$1"

source "$(dirname "$0")/require_tools.sh"
require_tools Xvfb xclip

source "$(dirname "$0")/x11.sh"
work=$(mktemp -d)
cleanup() {
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work" || exit 1

# A copy without a settings file beside it, so the defaults hold.
cp "$qln_built" "$work/qln"
failures=0

# check NAME EXPECTED-EXIT-OF-xclip-OUT EXPECTED-TEXT: runs qln on the clipboard
# with standard input on /dev/null, as a desktop launcher starts it.
check() {
  local name="$1" want_status="$2" want="$3"
  if ! "$work/qln" </dev/null >"$work/stdout" 2>&1; then
    echo "FAIL $name: qln did not exit 0"; failures=$((failures + 1)); return
  fi
  if [ -s "$work/stdout" ]; then
    echo "FAIL $name: qln wrote to its output:"; cat "$work/stdout"; failures=$((failures + 1))
  fi
  read_clipboard "$work/got" "$want_status" "$want"
  local status=$?
  printf '%s' "$want" >"$work/want"
  if [ "$status" != "$want_status" ] || ! cmp -s "$work/want" "$work/got"; then
    echo "FAIL $name: xclip exit $status (wanted $want_status), clipboard:"
    od -c "$work/got" | head -20; echo "wanted:"; od -c "$work/want" | head -20
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# Nothing on the clipboard yet: qln leaves it so.
check "empty clipboard left alone" 1 ""

put '<P>Hello <B>world</B> again.'
check "paragraph and emphasis" 0 $'\n  Hello **world** again.'

put $'Line1\nLine2 <A HREF="a.htm">x</A> y\n'
check "line ends and link list" 0 \
  $'  Line1\n  Line2 x[1] y\n\n\nHyperlink Reference:\n.. [1] a.htm\n'

put '<HEAD><TITLE>'
check "only tags leave an empty text" 0 ""

put ''
check "an empty text is left alone" 0 ""

# A Wayland session whose wl-clipboard tools are not installed falls back to
# xclip when an X server is there too.
if ! command -v wl-paste >/dev/null; then
  put '<LI>item'
  WAYLAND_DISPLAY=wayland-qln-test check "falls back to xclip" 0 '* item'
fi

[ "$failures" = 0 ]
