#!/usr/bin/env bash
# Converts the text on a real X11 clipboard: starts a private X server (Xvfb),
# puts HTML on its clipboard with xclip, runs qln as a desktop launcher does
# (no argument, standard input on /dev/null) or with --clipboard, and reads the
# result back with xclip. qln typed alone in a terminal (a pseudo-terminal,
# through script) must leave the clipboard as it was. Skips (77) where Xvfb,
# xclip or script is missing, unless running under CI, where that is a failure.
set -u
qln_built="$1"

source "$(dirname "$0")/require_tools.sh"
require_tools Xvfb xclip script

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

# in_terminal COMMAND...: runs it with a terminal on its standard input and
# output, as typed in a shell; its output goes to $work/stdout.
in_terminal() {
  local command
  printf -v command '%q ' "$@"
  script -qec "$command" /dev/null </dev/null >"$work/stdout" 2>&1
}

# check NAME EXPECTED-EXIT-OF-xclip-OUT EXPECTED-TEXT [QLN-STATUS [MESSAGE]]:
# runs qln on the clipboard with standard input on /dev/null, as a desktop
# launcher starts it, and checks its status, its message and the clipboard.
check() {
  local name="$1" want_status="$2" want="$3" want_qln="${4:-0}" want_message="${5:-}"
  "$work/qln" </dev/null >"$work/stdout" 2>&1
  local qln_status=$?
  if [ "$qln_status" != "$want_qln" ]; then
    echo "FAIL $name: qln exited with $qln_status, wanted $want_qln"; failures=$((failures + 1))
  fi
  if [ "$(cat "$work/stdout")" != "$want_message" ]; then
    echo "FAIL $name: qln wrote:"; cat "$work/stdout"; failures=$((failures + 1))
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

# Nothing on the clipboard yet: qln leaves it so, and says so.
check "empty clipboard left alone" 1 "" 1 "qln: the clipboard holds no text"

put '<P>Hello <B>world</B> again.'
check "paragraph and emphasis" 0 $'\n  Hello **world** again.'

put $'Line1\nLine2 <A HREF="a.htm">x</A> y\n'
check "line ends and link list" 0 \
  $'  Line1\n  Line2 x[1] y\n\n\nHyperlink Reference:\n.. [1] a.htm\n'

put '<HEAD><TITLE>'
check "only tags leave an empty text" 0 ""

put ''
check "an empty text is left alone" 0 "" 1 "qln: the clipboard holds no text"

# Typed alone in a terminal, qln shows how to use it and leaves the
# clipboard as it was; --clipboard converts it.
put '<B>kept</B> text'
in_terminal "$work/qln"
status=$?
read_clipboard "$work/got" 0 '<B>kept</B> text'
if [ "$status" = 2 ] && [ "$(cat "$work/got")" = '<B>kept</B> text' ] &&
   grep -q "Try 'qln --help'." "$work/stdout"; then
  echo "ok   qln alone in a terminal leaves the clipboard and exits with 2"
else
  echo "FAIL qln alone in a terminal: status $status, clipboard '$(cat "$work/got")'"
  cat "$work/stdout"; failures=$((failures + 1))
fi
in_terminal "$work/qln" --clipboard
status=$?
read_clipboard "$work/got" 0 '  **kept** text'
if [ "$status" = 0 ] && [ "$(cat "$work/got")" = '  **kept** text' ]; then
  echo "ok   qln --clipboard in a terminal converts the clipboard"
else
  echo "FAIL qln --clipboard in a terminal: status $status, clipboard '$(cat "$work/got")'"
  cat "$work/stdout"; failures=$((failures + 1))
fi

# Without xclip on the PATH, qln says what to install.
put 'x'
PATH=/nonexistent "$work/qln" --clipboard >"$work/stdout" 2>&1
status=$?
if [ "$status" = 1 ] && [ "$(cat "$work/stdout")" = \
     "qln: cannot reach the desktop clipboard: install xclip" ]; then
  echo "ok   without xclip, qln names the package to install"
else
  echo "FAIL without xclip: status $status:"; cat "$work/stdout"; failures=$((failures + 1))
fi

# A Wayland session whose wl-clipboard tools are not installed falls back to
# xclip when an X server is there too.
if ! command -v wl-paste >/dev/null; then
  put '<LI>item'
  WAYLAND_DISPLAY=wayland-qln-test check "falls back to xclip" 0 '* item'
fi

[ "$failures" = 0 ]
