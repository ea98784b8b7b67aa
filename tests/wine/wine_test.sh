#!/usr/bin/env bash
# The Windows program, qln.exe, as the Windows zip holds it, run for real
# under Wine on a private X server: the zip's contents and the version
# resource, file mode with Windows paths, output byte-identical to the Linux build's, the
# settings file beside the exe, the leading "!", the message box, and the
# clipboard through Wine and the X server. Skips (77) where Wine, a tool or
# the zip is missing, unless running under CI, where that is a failure.
#
# wine_test.sh QLN WINDOWS-BUILD-DIR GEN_HTML SOURCE-DIR WORK-DIR VERSION
#   QLN                the Linux build of qln, for the byte-for-byte comparison
#   WINDOWS-BUILD-DIR  holds the zip qln-VERSION-win64.zip and wine_probe.exe
#   WORK-DIR           keeps the Wine prefix between runs; scratch files go
#                      to WORK-DIR/run
set -u
qln_linux="$1" windows_dir="$2" gen_html="$3" source_dir="$4" work="$5" version="$6"
zip="$windows_dir/qln-$version-win64.zip"

missing=
for tool in wine wineserver wineboot Xvfb xdotool xclip; do
  command -v "$tool" >/dev/null || missing+=" $tool"
done
for file in "$zip" "$windows_dir/wine_probe.exe" "$qln_linux" "$gen_html"; do
  [ -f "$file" ] || missing+=" $file"
done
if [ -n "$missing" ]; then
  echo "missing:$missing"
  [ -n "${CI:-}" ] && exit 1
  exit 77
fi

source "$(dirname "$0")/../x11.sh"
mkdir -p "$work"
# The tests change folders: every path they are given must be absolute.
qln_linux=$(realpath "$qln_linux") windows_dir=$(realpath "$windows_dir") zip=$(realpath "$zip")
gen_html=$(realpath "$gen_html") source_dir=$(realpath "$source_dir") work=$(realpath "$work")
run="$work/run"
rm -rf "$run" "$work/differ"
mkdir -p "$run/zip"
# Everything below tests the qln.exe of the zip, unpacked as a user would.
(cd "$run/zip" && cmake -E tar xf "$zip") || exit 1
unpacked="$run/zip/qln-$version-win64"
qln_exe="$unpacked/qln.exe"

export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# Wine reads names and the environment in the locale's encoding: UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# No prompt to install Mono or Gecko into a new prefix: qln needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT
wineserver -k 2>/dev/null  # a server left from an earlier run has another display
start_xvfb "$run" 1024x768x24 || exit 1
SECONDS=0
wineserver -p  # stays up between the runs below, which makes each one quick
wineboot -i >"$run/wineboot.log" 2>&1
echo "Wine ready in ${SECONDS} s"

failures=0
pass() { echo "ok   $1"; }
fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}

# The Windows path of an absolute Linux path: Wine maps Z: to /.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

probe="$windows_dir/wine_probe.exe"
# qln_line COMMAND-LINE: runs a command line exactly as written, from $run,
# and returns the exit code of the program it starts.
qln_line() { (cd "$run" && QLN_COMMAND_LINE="$1" wine "$probe" run); }

# expect_file NAME FILE FORMAT: FILE must hold printf FORMAT exactly.
expect_file() {
  local name="$1" file="$2"
  printf "$3" >"$run/want"
  if [ -f "$file" ] && cmp -s "$run/want" "$file"; then
    pass "$name"
  else
    fail "$name: $file"
    if [ -f "$file" ]; then od -c "$file" | head -8; else echo "  (no file)"; fi
    echo "  wanted:"; od -c "$run/want" | head -8
  fi
}

expect_absent() {
  if [ -e "$2" ]; then fail "$1: $2 exists"; else pass "$1"; fi
}

# expect_equal NAME GOT WANTED: an exit code, a window title, a list.
expect_equal() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', wanted '$3'"; fi
}

# The program sits in a folder whose name has a space, without a settings
# file, so the defaults hold unless a test writes one.
bin="$run/qln bin"
mkdir -p "$bin" "$run/plain" "$run/my docs"
cp "$qln_exe" "$bin/qln.exe"
cp "$qln_exe" "$run/plain/qln.exe"
cp "$qln_linux" "$bin/qln"
exe="\"$(winpath "$bin/qln.exe")\""

echo "== the executable"
# A GUI program (no console window) that needs only Windows' own DLLs.
objdump=x86_64-w64-mingw32-objdump
if command -v "$objdump" >/dev/null; then
  headers=$("$objdump" -p "$qln_exe")
  if grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"; then
    pass "qln.exe is a GUI program"
  else
    fail "qln.exe is a GUI program"
  fi
  dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{print toupper($3)}' | sort | tr '\n' ' ')
  expect_equal "qln.exe needs only Windows' DLLs ($dlls)" "$dlls" \
    "KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL "
fi

echo "== the zip"
expect_equal "the zip holds one folder" "$(ls "$run/zip")" "qln-$version-win64"
expect_equal "the folder holds qln.exe, qln.ini, README.txt and LICENSE.txt" \
  "$(ls "$unpacked" | tr '\n' ' ')" "LICENSE.txt README.txt qln.exe qln.ini "
for text in qln.ini README.txt LICENSE.txt; do
  lines=$(grep -c '' "$unpacked/$text") crlf_lines=$(grep -c $'\r$' "$unpacked/$text")
  expect_equal "$text has CR LF line ends ($lines lines)" "$crlf_lines" "$lines"
done
grep -q "^Version $version" "$unpacked/README.txt"
expect_equal "README.txt names the version" $? 0
# The version resource, as Windows reads it from the file's properties.
expect_equal "qln.exe's version resource" "$(wine "$probe" version "$(winpath "$qln_exe")" | tr -d '\r')" \
"Fixed file version: $version.0
Fixed product version: $version.0
FileDescription: qln: HTML to plain text
FileVersion: $version
InternalName: qln
OriginalFilename: qln.exe
ProductName: qln
ProductVersion: $version"
# Unpacked and used as it is: the qln.ini beside qln.exe restates the defaults.
mkdir -p "$run/from zip"
cp "$source_dir/samples/sample.html" "$run/from zip/"
qln_line "\"$(winpath "$qln_exe")\" \"$(winpath "$run/from zip/sample.html")\""
expect_equal "the unpacked qln.exe converts the sample: exit code" $? 0
if cmp -s "$source_dir/tests/data/sample_expected.txt" "$run/from zip/sample.txt"; then
  pass "the unpacked qln.exe converts the sample as expected"
else
  fail "the unpacked qln.exe converts the sample as expected"
fi

echo "== file mode: paths"
hello='Hello world.\n'
hello_out='  Hello world.\r\n\r\n'
printf "$hello" >"$run/my docs/page.HTML"
qln_line "$exe \"$(winpath "$run/my docs/page.HTML")\""
expect_equal "quoted drive path with a space: exit code" $? 0
expect_file "quoted drive path with a space" "$run/my docs/page.txt" "$hello_out"

printf "$hello" >"$run/my docs/middle.htm"
qln_line "$exe $(winpath "$run/my")\" \"docs\\middle.htm"
expect_file "quotes inside the path are removed" "$run/my docs/middle.txt" "$hello_out"

printf "$hello" >"$run/my docs/relative.htm"
qln_line "$exe my docs\\relative.htm"
expect_file "relative path with a space, unquoted" "$run/my docs/relative.txt" "$hello_out"

printf "$hello" >"$run/plain.htm"
qln_line "$(winpath "$run/plain/qln.exe")   plain.htm"
expect_file "unquoted program name and the spaces after it skipped" "$run/plain.txt" "$hello_out"

printf "$hello" >"$run/notes.txt"
qln_line "$exe notes.txt"
expect_file "a text input gets _qln.txt" "$run/notes_qln.txt" "$hello_out"
expect_file "a text input is left as it was" "$run/notes.txt" "$hello"

printf '' >"$run/empty.htm"
qln_line "$exe empty.htm"
expect_file "an empty input gives one line end" "$run/empty.txt" '\r\n'

printf "$hello" >"$run/bang.htm"
qln_line "$exe !bang.htm"
expect_equal "a leading ! exits at once: exit code" $? 0
expect_absent "a leading ! converts nothing" "$run/bang.txt"

qln_line "$exe missing.htm"
expect_equal "a missing input: exit code" $? 0
expect_absent "a missing input writes nothing" "$run/missing.txt"

printf "$hello" >"$run/noext"
qln_line "$exe noext"
expect_equal "no extension: exit code" $? 0

printf '<P>new' >"$run/again.htm"
printf 'old text\r\n' >"$run/again.txt"
qln_line "$exe again.htm"
expect_file "an existing output is replaced" "$run/again.txt" '\r\n  new\r\n'

printf '<P>new' >"$run/locked.htm"
printf 'old text\r\n' >"$run/locked.txt"
chmod a-w "$run/locked.txt"  # Wine shows this as the read-only attribute
qln_line "$exe locked.htm"
expect_equal "a read-only output: exit code" $? 0
expect_file "a read-only output is left as it was" "$run/locked.txt" 'old text\r\n'

printf '<P>new' >"$run/folder.htm"
mkdir "$run/folder.txt"
qln_line "$exe folder.htm"
expect_equal "an output name that is a folder: exit code" $? 0
if [ -d "$run/folder.txt" ] && [ -z "$(ls -A "$run/folder.txt")" ]; then
  pass "an output name that is a folder is left alone"
else
  fail "an output name that is a folder is left alone"
fi
if ls -A "$run" | grep -q '\.qln-'; then
  fail "no temporary file is left behind: $(ls -A "$run" | grep '\.qln-')"
else
  pass "no temporary file is left behind"
fi

echo "== the message box"
# expect_box NAME COMMAND-LINE TEXT: runs the command line in the background;
# its message box must appear, titled Quillon, with TEXT and one OK button,
# and qln.exe must end with exit code 0 once the box is dismissed.
expect_box() {
  local name="$1" line="$2" text="$3" window= box_runner=
  start_box() {
    rm -f "$run/box.status"
    (qln_line "$line"; echo $? >"$run/box.status") &
    box_runner=$!
  }
  find_box() { window=$(timeout 60 xdotool search --sync --name '^Quillon$' | head -n1); }
  start_box
  find_box
  # Rarely, under load, the search fails (an X error while windows come and
  # go) or Wine ends the program before its window shows: one more try, logged.
  if [ -z "$window" ]; then
    sleep 1
    if [ -s "$run/box.status" ]; then
      echo "  (no message box: qln.exe ended with exit code $(cat "$run/box.status"); once more)"
      start_box
    else
      echo "  (the message box was not found; searching once more)"
    fi
    find_box
  fi
  if [ -z "$window" ]; then
    fail "$name: the message box appears"
  else
    expect_equal "$name: the message box is titled Quillon" \
      "$(xdotool getwindowname "$window")" Quillon
    wine "$probe" dialog Quillon >"$run/dialog.txt" 2>&1
    tr -d '\r' <"$run/dialog.txt" >"$run/dialog"
    if grep -qx '#32770' "$run/dialog" && grep -qxF "Static: $text" "$run/dialog" &&
       grep -qx 'Button: OK' "$run/dialog" && [ "$(grep -c '^Button:' "$run/dialog")" = 1 ]; then
      pass "$name: the message box holds the text and one OK button"
    else
      fail "$name: the message box holds the text and one OK button:"; cat "$run/dialog"
    fi
    [ -e "$run/box.status" ] && fail "$name: qln.exe waits while the message box is shown"
    # Dismiss it with the Return key; a key that goes astray (the focus not
    # there yet) is pressed again.
    for _ in $(seq 5); do
      xdotool windowfocus --sync "$window" 2>/dev/null && xdotool key Return
      for _ in $(seq 40); do
        [ -s "$run/box.status" ] && break 2
        sleep 0.1
      done
    done
  fi
  for _ in $(seq 100); do
    [ -s "$run/box.status" ] && break
    sleep 0.1
  done
  if [ -s "$run/box.status" ]; then
    expect_equal "$name: dismissed, qln.exe ends: exit code" "$(cat "$run/box.status")" 0
  else
    fail "$name: qln.exe ends when the message box is dismissed"
    kill "$box_runner" 2>/dev/null
  fi
}
printf 'x' >"$run/report.doc"
expect_box "a file of the wrong type" "$exe \"$(winpath "$run/report.doc")\"" \
  'Files passed to this function can be .html, .htm, or .txt.'
expect_absent "a wrong file type converts nothing" "$run/report.txt"

echo "== any file name, and several files at once"
# Names that no one ANSI code page holds: Greek, Chinese and accented Latin.
uni="$run/Ελληνικά 漢字"
mkdir -p "$uni"
printf "$hello" >"$uni/Ελληνικά 漢字 café.htm"
qln_line "$exe \"$(winpath "$uni/Ελληνικά 漢字 café.htm")\""
expect_equal "a Unicode name: exit code" $? 0
expect_file "a Unicode name converts" "$uni/Ελληνικά 漢字 café.txt" "$hello_out"
printf "$hello" >"$uni/ünï 名前.txt"
qln_line "$exe \"$(winpath "$uni/ünï 名前.txt")\""
expect_file "a Unicode .txt gives _qln.txt" "$uni/ünï 名前_qln.txt" "$hello_out"
# qln.exe in a folder with such a name reads the qln.ini beside it.
cp "$qln_exe" "$uni/qln.exe"
printf '[qln settings]\nLeftMargin=5\n' >"$uni/qln.ini"
printf "$hello" >"$uni/margin.htm"
qln_line "\"$(winpath "$uni/qln.exe")\" \"$(winpath "$uni/margin.htm")\""
expect_file "qln.ini beside qln.exe in a Unicode folder takes effect" "$uni/margin.txt" \
  '     Hello world.\r\n\r\n'
# Explorer's Send To: each name quoted where it holds a space.
mkdir -p "$run/send"
for name in "one page.htm" "two.html" "three notes.txt" "a.htm" "notes.md" "b.htm"; do
  printf "$hello" >"$run/send/$name"
done
qln_line "$exe \"$(winpath "$run/send/one page.htm")\" $(winpath "$run/send/two.html") \"$(winpath "$run/send/three notes.txt")\""
expect_equal "three files at once: exit code" $? 0
expect_file "three files at once: the first" "$run/send/one page.txt" "$hello_out"
expect_file "three files at once: the second" "$run/send/two.txt" "$hello_out"
expect_file "three files at once: the third" "$run/send/three notes_qln.txt" "$hello_out"
expect_box "a file of the wrong type among several" \
  "$exe $(winpath "$run/send/a.htm") $(winpath "$run/send/notes.md") $(winpath "$run/send/b.htm")" \
  'notes.md: Files passed to this function can be .html, .htm, or .txt.'
expect_file "the files around it are converted: before" "$run/send/a.txt" "$hello_out"
expect_file "the files around it are converted: after" "$run/send/b.txt" "$hello_out"
expect_absent "the file of the wrong type converts nothing" "$run/send/notes.txt"
# Several words that name no file still end quietly.
qln_line "$exe $(winpath "$run/send/no such.htm") $(winpath "$run/send/a.htm")"
expect_equal "words that name no file: exit code" $? 0
expect_absent "words that name no file convert nothing" "$run/send/no such.txt"

echo "== the settings file beside qln.exe"
printf '[qln settings]\nLeftMargin=5\nRightMargin=60\nDoURLs=0\nKeepLinefeeds=1\nSpace2AfterPeriod=1\n' \
  >"$bin/qln.ini"
printf 'One. Two <A HREF="a.htm">x</A>\n' >"$run/set.htm"
qln_line "$exe set.htm"
expect_file "qln.ini takes effect" "$run/set.txt" '     One.  Two x\r\n\r\n'
rm "$bin/qln.ini"
qln_line "$exe set.htm"
expect_file "without qln.ini the defaults hold" "$run/set.txt" \
  '  One. Two x[1]\r\n\r\n\r\nHyperlink Reference:\r\n.. [1] a.htm\r\n'

echo "== the same bytes as the Linux build"
inputs="$run/inputs"
mkdir -p "$inputs"
cp "$source_dir/samples/sample.html" "$source_dir"/fuzz/seeds/html/*.htm "$inputs/"
seed=1
for shape in mix prose tags entities links pre longline soup soup-eof random random-eof; do
  "$gen_html" "$shape" 300000 -s "$seed" -o "$inputs/$shape.html"
  seed=$((seed + 1))
done
"$gen_html" distinct-links -n 3000 -o "$inputs/distinct-links.htm"
printf '' >"$inputs/empty.htm"
printf 'Hello world.' >"$inputs/no-line-end.htm"
printf '<A HREF="a.htm">x</A> y\n<A HREF="b.htm">z</A>\n' >"$inputs/two-links.htm"
printf '<H1>Title</H1>\r\n<P>CR LF lines\r\nand a lone\rCR.\r\n' >"$inputs/crlf.htm"
printf 'Before the end\r\nof text\x1a after it' >"$inputs/end-of-text.htm"
printf 'zero\0byte ends the line\nnext line\n' >"$inputs/zero-byte.htm"
printf 'it\x92s \xe9t\xe9 &auml; &#65; &lt;x&gt;\n' >"$inputs/high-bytes.txt"
printf '<p>Caf\xc3\xa9 \xe6\xbc\xa2\xe5\xad\x97 &eacute; &#8217;q&rsquo; <ul><li>x</ul><pre>a\n b</pre>\n' \
  >"$inputs/utf-8.htm"

# compare_all LABEL [list]: converts every input with both builds (which share
# the settings file in $bin, if any) and compares the output files byte for
# byte; with "list", it lists each file compared.
compare_all() {
  local label="$1" list="${2:-}" same=0 count=0 input name output
  rm -rf "$run/linux" "$run/windows"
  cp -r "$inputs" "$run/linux"
  cp -r "$inputs" "$run/windows"
  for input in "$inputs"/*; do
    name=$(basename "$input")
    case "$name" in
      *.txt) output="${name%.*}_qln.txt" ;;
      *) output="${name%.*}.txt" ;;
    esac
    "$bin/qln" "$run/linux/$name"
    local linux_status=$?
    qln_line "$exe \"$(winpath "$run/windows/$name")\""
    local windows_status=$?
    count=$((count + 1))
    if [ -f "$run/linux/$output" ] && cmp -s "$run/linux/$output" "$run/windows/$output"; then
      same=$((same + 1))
      [ -n "$list" ] && printf '  same    %-24s %9d bytes\n' "$output" "$(stat -c %s "$run/linux/$output")"
    else
      printf '  DIFFER  %s (exit codes: qln %s, qln.exe %s)\n' "$output" "$linux_status" "$windows_status"
      ls -l "$run/linux/$output" "$run/windows/$output"
      cmp "$run/linux/$output" "$run/windows/$output" | head -3
      # Kept for a look: WORK-DIR/differ/
      mkdir -p "$work/differ"
      cp "$input" "$bin/qln.ini" "$run/linux/$output" "$work/differ/" 2>/dev/null
      cp "$run/windows/$output" "$work/differ/$output.exe-made" 2>/dev/null
      # Once more, to tell a passing fault from a lasting one (still a failure).
      rm -f "$run/windows/$output"
      qln_line "$exe \"$(winpath "$run/windows/$name")\""
      windows_status=$?
      if cmp -s "$run/linux/$output" "$run/windows/$output"; then
        echo "  converted again: the same as qln's (exit code $windows_status)"
      else
        echo "  converted again: still different (exit code $windows_status)"
      fi
    fi
  done
  if [ "$same" = "$count" ]; then
    pass "$label: $same of $count outputs byte-identical"
  else
    fail "$label: $same of $count outputs byte-identical"
  fi
}
compare_all "default settings" list
printf 'x\nLeftMargin=0\nRightMargin=40\nDoURLs=1\nKeepLinefeeds=0\nSpace2AfterPeriod=1\n' \
  >"$bin/qln.ini"
compare_all "settings 0, 40, 1, 0, 1"
# The fuzzers' settings files: odd values, CR LF lines and a 0x1A byte.
for ini in "$source_dir"/fuzz/seeds/settings/*.ini; do
  cp "$ini" "$bin/qln.ini"
  compare_all "settings file $(basename "$ini")"
done
# The modern profile.
printf 'x\nModernHtml=1\n' >"$bin/qln.ini"
compare_all "modern profile, default settings"
printf 'x\nLeftMargin=0\nRightMargin=40\nDoURLs=1\nKeepLinefeeds=0\nSpace2AfterPeriod=1\nModernHtml=1\n' \
  >"$bin/qln.ini"
compare_all "modern profile, settings 0, 40, 1, 0, 1"
rm "$bin/qln.ini"

echo "== the clipboard, through Wine and the X server"
# clip NAME EXPECTED-EXIT-OF-xclip-OUT EXPECTED-TEXT [COMMAND-LINE]: runs
# qln.exe on the clipboard and reads the clipboard back with xclip.
clip() {
  local name="$1" want_status="$2" want="$3" command_line="${4:-$exe}"
  qln_line "$command_line"
  local status=$?
  if [ "$status" != 0 ]; then
    fail "$name: qln.exe exit code $status"; return
  fi
  # Wine's clipboard manager takes over the X selection a moment after
  # qln.exe has set the text.
  read_clipboard "$run/got" "$want_status" "$want"
  status=$?
  printf '%s' "$want" >"$run/want"
  if [ "$status" = "$want_status" ] && cmp -s "$run/want" "$run/got"; then
    pass "$name"
  else
    fail "$name: xclip exit code $status (wanted $want_status), clipboard:"
    od -c "$run/got" | head -8; echo "  wanted:"; od -c "$run/want" | head -8
  fi
}
# put_wine TEXT [AS-CF_TEXT]: puts TEXT on the X clipboard and waits, for up
# to 10 s, until Wine's clipboard holds it too: as AS-CF_TEXT, by default the
# same text with CR LF line ends.
put_wine() {
  put "$1"
  printf '%s' "${2:-${1//$'\n'/$'\r\n'}}" >"$run/put.want"
  for _ in $(seq 50); do
    wine "$probe" clipboard >"$run/put.got" 2>/dev/null && cmp -s "$run/put.want" "$run/put.got" && return
    sleep 0.1
  done
  echo "  (Wine's clipboard did not take the text)"
}

clip "an empty clipboard is left alone" 1 ""
put_wine '<P>Hello <B>world</B> again.'
clip "paragraph and emphasis" 0 $'\n  Hello **world** again.'
put_wine $'Line1\nLine2 <A HREF="a.htm">x</A> y\n'
clip "line ends and the link list" 0 \
  $'  Line1\n  Line2 x[1] y\n\n\nHyperlink Reference:\n.. [1] a.htm\n'
put_wine '<LI>item'
clip "a one-character command line converts the clipboard" 0 '* item' "$exe x"
put_wine $'it\u2019s' $'it\x92s'  # Windows-1252 in CF_TEXT
clip "the right single quote becomes an apostrophe" 0 "  it's"
put_wine '<HEAD><TITLE>'
clip "only tags leave an empty text" 0 ""
# The modern profile exchanges Unicode text (CF_UNICODETEXT).
unicode_text='<b>Café</b> – ’quoted’ 漢字'
put "$unicode_text"
for _ in $(seq 50); do
  [ "$(wine "$probe" unicode 2>/dev/null)" = "$unicode_text" ] && break
  sleep 0.1
done
printf 'x\nModernHtml=1\n' >"$bin/qln.ini"
clip "modern: Unicode text through the clipboard" 0 $'  **Café** – ’quoted’ 漢字\n'
rm "$bin/qln.ini"

echo "Wine suite done in ${SECONDS} s"
[ "$failures" = 0 ]
