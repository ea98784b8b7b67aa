#!/usr/bin/env bash
# Whole-program comparison, in one run and one table: qln (classic and modern
# profiles, as a filter and in file mode), a plain block scan and other
# HTML-to-text converters, on two inputs of SIZE bytes: the generated page mix
# (gen_html mix) and real pages (bench/corpus.sh --concat). Then each block
# kernel through a whole conversion, the scaling runs (input size, distinct
# links, peak memory up to 1 GiB) and a folder of 10,000 small pages, beside
# what its saves alone and its conversion alone cost.
#
#   bench/compare.sh                       # RUNS=3 SIZE=8M BUILD=build-bench
#   RUNS=5 BUILD=/tmp/qln-bench bench/compare.sh
#
# Knobs, from the environment:
#   RUNS   timed runs per figure; the table shows their median (default 3)
#   SIZE   the size of the two main inputs: 8M, 512K, 1G or bytes (default 8M)
#   BUILD  the build folder, from the checkout's top (default build-bench); it
#          is configured with QLN_BUILD_BENCH=ON and built here, with -j2
#
# The columns:
#   MB/s      input bytes (10^6) per second of wall time, process start
#             included: the median of RUNS runs
#   peak MiB  the largest peak resident size of those runs
#   instr/B   instructions counted by callgrind for the whole input less
#             those for its first 1,000 bytes, over (SIZE - 1,000) bytes:
#             the cost of a byte, net of start-up
#   × scan    the speed over the block scan's
#
# The report goes to standard output, progress to standard error. Inputs and
# outputs go to $BUILD/scratch (never committed); the 1 GiB input is deleted
# once measured. Missing Debian packages (links, lynx, w3m, html2text,
# valgrind, and the manuals bench/corpus.sh reads) are installed when running
# as root; otherwise a missing converter's row says so, and without valgrind
# the instr/B columns are left empty. With RUNS=3 on two cores it takes
# about seven minutes, up to fifteen when the machine is busy: most of it is
# callgrind running the other converters, and the folder's runs.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-3}
SIZE=${SIZE:-8M}
BUILD=${BUILD:-build-bench}
SCRATCH=$BUILD/scratch
HEAD_BYTES=1000
PAGES=10000
started=$EPOCHSECONDS
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

# Progress, with the time so far; it also keeps the highest load average
# seen, which the report gives.
max_load=0
note() {
  max_load=$(awk -v m="$max_load" '{ print ($1 > m ? $1 : m) }' /proc/loadavg)
  printf '[%4ds] %s\n' $((EPOCHSECONDS - started)) "$*" >&2
}

# --- tools -----------------------------------------------------------------
need=()
for tool in links lynx w3m html2text valgrind; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    note "installing ${need[*]}"
    { apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"; } >/dev/null 2>&1 ||
      note "could not install all of ${need[*]}; going on without them"
  else
    note "not root: not installing ${need[*]}"
  fi
fi
have_valgrind=0
command -v valgrind >/dev/null && have_valgrind=1

note "building in $BUILD"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQLN_BUILD_TESTS=OFF \
  -DQLN_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" -j2 --target qln gen_html block_scan skeleton kernel_run run_stat >/dev/null
QLN=$BUILD/qln
GEN=$BUILD/gen_html
SCAN=$BUILD/bench/block_scan
SKELETON=$BUILD/bench/skeleton
KRUN=$BUILD/bench/kernel_run
STAT=$BUILD/bench/run_stat

mkdir -p "$SCRATCH"
# The default settings: no settings file beside qln or in the user's folder;
# the profile is given on every command line.
rm -f "$BUILD/qln.ini"
mkdir -p "$SCRATCH/config"
export XDG_CONFIG_HOME=$PWD/$SCRATCH/config

# --- inputs ----------------------------------------------------------------------
note "making the inputs"
MIX=$SCRATCH/page-mix-$SIZE.htm
REAL=$SCRATCH/real-pages-$SIZE.htm
"$GEN" mix "$SIZE" -o "$MIX"
bench/corpus.sh --concat "$SIZE" "$REAL" "$BUILD/corpus" >&2
INPUTS=("$MIX" "$REAL")
# The first bytes of each, for the start-up's share of the instruction counts.
for in in "${INPUTS[@]}"; do head -c "$HEAD_BYTES" "$in" >"${in%.htm}.head.htm"; done
# File mode writes NAME.txt beside NAME.htm: each profile converts its own
# copies, so that runs side by side never share an output.
for profile in classic modern; do
  mkdir -p "$SCRATCH/files-$profile"
  for in in "${INPUTS[@]}"; do
    cp "$in" "${in%.htm}.head.htm" "$SCRATCH/files-$profile/"
  done
done

# --- the commands ------------------------------------------------------------------
# The rows of the main table, then the forced kernels (kernel-NAME-PROFILE).
ROWS=(classic-filter classic-file modern-filter modern-file scan skeleton links lynx w3m html2text)
declare -A LABEL=(
  [classic-filter]="qln classic, filter" [classic-file]="qln classic, file mode"
  [modern-filter]="qln modern, filter" [modern-file]="qln modern, file mode"
  [scan]="block scan (C, -O2)" [skeleton]="skeleton converter" [links]="links -dump"
  [lynx]="lynx -dump" [w3m]="w3m -dump" [html2text]="html2text")

# cmd_for ROW INPUT: sets CMD to the row's command on INPUT and CMD_IN to its
# standard input.
cmd_for() {
  local row=$1 in=$2 rest
  CMD_IN=/dev/null
  case $row in
    classic-filter | modern-filter) CMD=("$QLN" "--${row%-filter}") CMD_IN=$in ;;
    classic-file | modern-file)
      CMD=("$QLN" "--${row%-file}" "$SCRATCH/files-${row%-file}/$(basename "$in")") ;;
    scan) CMD=("$SCAN" "$in") ;;
    skeleton) CMD=("$SKELETON") CMD_IN=$in ;;
    links | lynx | w3m) CMD=("$row" -dump "$in") ;;
    html2text) CMD=(html2text "$in") ;;
    kernel-*)
      rest=${row#kernel-}
      CMD=("$KRUN" "--kernel=${rest%-*}" "--${rest##*-}") CMD_IN=$in
      ;;
    *) return 1 ;;
  esac
}

installed() {  # installed ROW: the row's program is on this machine
  case $1 in links | lynx | w3m | html2text) command -v "$1" >/dev/null ;; *) true ;; esac
}

median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# time_once ROW INPUT: one timed run of the row's command on INPUT. Its
# seconds join TIMES[KEY] and its peak resident size PEAK[KEY] (the largest
# seen); a failed run marks the row FAILED. The runs of all rows take turns,
# so that a busy spell of the machine spreads over them all rather than
# falling on one.
declare -A TIMES PEAK SECS FAILED IPB
key() { printf '%s|%s' "$1" "$(basename "$2" .htm)"; }
time_once() {
  local k s kib
  k=$(key "$1" "$2")
  [ -z "${FAILED[$k]:-}" ] || return 0
  cmd_for "$1" "$2"
  if ! "$STAT" "$SCRATCH/.stat" "${CMD[@]}" <"$CMD_IN" >/dev/null 2>&1; then
    FAILED[$k]=1
    return 0
  fi
  read -r s kib <"$SCRATCH/.stat"
  TIMES[$k]+=" $s"
  if ((kib > ${PEAK[$k]:-0})); then PEAK[$k]=$kib; fi
}
settle() {  # SECS[KEY]: the median of TIMES[KEY], for the rows that never failed
  local k
  for k in "${!TIMES[@]}"; do
    # shellcheck disable=SC2086  # the times, one word each
    [ -n "${FAILED[$k]:-}" ] || SECS[$k]=$(median ${TIMES[$k]})
  done
}

# rule L22 R8 ...: a Markdown table's rule for columns of these widths,
# aligned left (L) or right (R).
rule() {
  local c line='|'
  for c; do
    line+=$(printf '%*s' $((${c:1} + 1)) '' | tr ' ' -)
    if [ "${c:0:1}" = R ]; then line+=':|'; else line+='-|'; fi
  done
  echo "$line"
}
mbps() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1e6 / s }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { r = a / b; printf r < 0.1 ? "%.3f" : "%.2f", r }'; }
# mark VALUE OP LIMIT: VALUE, then "ok" when VALUE OP LIMIT holds, else "MISS".
mark() {
  [ "$1" = - ] && { printf '%s' "$1"; return; }
  awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {
    ok = op == "<=" ? v <= l : v >= l; printf "%s %s", v, ok ? "ok" : "MISS" }'
}


# --- timed runs ----------------------------------------------------------------------
# The timed runs come first and alone; callgrind's runs, which may run side
# by side, follow.
AUTO_KERNEL=$("$KRUN" --name)
KERNELS=()
for k in scalar sse2 avx2; do
  "$KRUN" --name "--kernel=$k" >/dev/null 2>&1 && KERNELS+=("$k")
done
KROWS=()
for p in classic modern; do for k in "${KERNELS[@]}"; do KROWS+=("kernel-$k-$p"); done; done

for ((r = 1; r <= RUNS; r++)); do
  note "timed runs, round $r of $RUNS"
  for in in "${INPUTS[@]}"; do
    for row in "${ROWS[@]}" "${KROWS[@]}"; do
      if installed "$row"; then time_once "$row" "$in"; fi
    done
  done
done

# The forced kernels give qln's output byte for byte.
declare -A SAME
for in in "${INPUTS[@]}"; do
  for p in classic modern; do
    "$QLN" "--$p" <"$in" >"$SCRATCH/qln-$p.txt"
    for k in "${KERNELS[@]}"; do
      if "$KRUN" "--kernel=$k" "--$p" <"$in" | cmp -s - "$SCRATCH/qln-$p.txt"; then
        SAME[$k-$p]=${SAME[$k-$p]:-yes}
      else
        SAME[$k-$p]=NO
      fi
    done
  done
done

# --- instructions per byte -------------------------------------------------------------
CG=$SCRATCH/callgrind
rm -rf "$CG"
mkdir -p "$CG"
cg_job() {  # cg_job ROW INPUT: callgrind's count into $CG/KEY.count
  local name
  name=$(key "$1" "$2")
  name=${name//|/.}
  cmd_for "$1" "$2"
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file="$CG/$name.log" \
    "${CMD[@]}" <"$CMD_IN" >/dev/null 2>&1 || true
  awk '/Collected/ { print $NF }' "$CG/$name.log" >"$CG/$name.count"
}
if [ "$have_valgrind" = 1 ]; then
  # The slowest first, two at a time (one per core): the counts do not
  # depend on what else runs.
  cg_rows=(lynx html2text w3m links classic-filter classic-file modern-filter modern-file scan
    skeleton "${KROWS[@]}")
  running=0
  for row in "${cg_rows[@]}"; do
    installed "$row" || continue
    note "callgrind: $row"
    for in in "${INPUTS[@]}"; do
      for f in "$in" "${in%.htm}.head.htm"; do
        cg_job "$row" "$f" &
        running=$((running + 1))
        if ((running >= $(nproc))); then
          wait -n || true
          running=$((running - 1))
        fi
      done
    done
  done
  wait
  # The auto kernel as callgrind's processor sees it.
  CG_KERNEL=$(valgrind -q "$KRUN" --name 2>/dev/null || echo '?')
  for row in "${cg_rows[@]}"; do
    for in in "${INPUTS[@]}"; do
      k=$(key "$row" "$in")
      big=$(cat "$CG/${k//|/.}.count" 2>/dev/null || true)
      small=$(cat "$CG/${k//|/.}.head.count" 2>/dev/null || true)
      if [ -z "$big" ] || [ -z "$small" ]; then continue; fi
      IPB[$k]=$(awk -v a="$small" -v b="$big" -v n="$(stat -c %s "$in")" -v h="$HEAD_BYTES" \
        'BEGIN { printf "%.2f", (b - a) / (n - h) }')
    done
  done
fi

# --- scaling runs --------------------------------------------------------------------------
gen() { "$GEN" "${@:2}" -o "$SCRATCH/$1.htm"; }  # gen NAME ARGS...
note "making the scaling inputs"
gen mix-8M mix 8M
gen mix-64M mix 64M
gen links-100k distinct-links -n 100000
gen links-1M distinct-links -n 1000000
for ((r = 1; r <= RUNS; r++)); do
  note "scaling runs, round $r of $RUNS"
  for name in mix-8M mix-64M links-100k links-1M; do
    for p in classic modern; do time_once "$p-filter" "$SCRATCH/$name.htm"; done
  done
done
note "making 1 GiB of page mix"
trap 'rm -f "$SCRATCH/mix-1G.htm"' EXIT
gen mix-1G mix 1G
note "converting 1 GiB, once in each profile"
for p in classic modern; do time_once "$p-filter" "$SCRATCH/mix-1G.htm"; done
settle
declare -A BYTES
for name in mix-8M mix-64M mix-1G links-100k links-1M; do
  BYTES[$name]=$(stat -c %s "$SCRATCH/$name.htm")
done
rm -f "$SCRATCH/mix-1G.htm"

# --- a folder of small pages ------------------------------------------------------------------
# The page mix cut at line ends into pieces of at most 4 KiB, the first
# $PAGES of them.
note "making $PAGES small pages"
DIR=$SCRATCH/pages
rm -rf "$DIR"
mkdir -p "$DIR"
"$GEN" mix 48M | split -C 4K -a 5 -d --additional-suffix=.html - "$DIR/p"
find "$DIR" -name 'p*.html' | sort | tail -n +$((PAGES + 1)) | xargs -r rm -f
pages=("$DIR"/p*.html)
[ ${#pages[@]} = "$PAGES" ] || { note "made ${#pages[@]} pages, not $PAGES"; exit 1; }
pages_bytes=$(cat "${pages[@]}" | wc -c)
printf '%s\0' "${pages[@]}" >"$SCRATCH/pages.list"
clear_texts() { find "$DIR" -name '*.txt' -delete; }
# One process for all, unless the argument list is too long for one.
arg_bytes=$(wc -c <"$SCRATCH/pages.list")
if ((arg_bytes < $(getconf ARG_MAX) / 2)); then
  one_way="qln --classic pages/*.html"
  one_cmd() { "$STAT" "$SCRATCH/.stat" "$QLN" --classic "${pages[@]}" >/dev/null 2>&1; }
else
  one_way="xargs -0 -s $(($(getconf ARG_MAX) / 2)) qln --classic"
  one_cmd() {
    "$STAT" "$SCRATCH/.stat" xargs -0 -s $(($(getconf ARG_MAX) / 2)) "$QLN" --classic \
      <"$SCRATCH/pages.list" >/dev/null 2>&1
  }
fi
each_cmd() {
  "$STAT" "$SCRATCH/.stat" xargs -0 -n 1 "$QLN" --classic <"$SCRATCH/pages.list" >/dev/null 2>&1
}
# What the saves alone cost: the pages copied unconverted, each saved as qln
# saves a file.
floor_cmd() { "$STAT" "$SCRATCH/.stat" python3 bench/save_floor.py "$DIR"; }
# What the conversion alone costs: the same bytes as one file, in one run.
cat "${pages[@]}" >"$SCRATCH/pages-joined.html"
joined_once() {
  "$STAT" "$SCRATCH/.stat" "$QLN" --classic "$SCRATCH/pages-joined.html"
  read -r s _ <"$SCRATCH/.stat"
  FOLDER_TIMES[joined]+=" $s"
}
# folder_once CMD: one run of CMD on fresh pages; its seconds join
# FOLDER_TIMES[CMD]. Every page must have its text.
declare -A FOLDER_TIMES
folder_once() {
  local s kib texts
  clear_texts
  $1 || true
  read -r s kib <"$SCRATCH/.stat"
  texts=$(find "$DIR" -name '*.txt' | wc -l)
  if [ "$texts" != "$PAGES" ]; then
    note "$1: $texts texts for $PAGES pages"
    exit 1
  fi
  FOLDER_TIMES[$1]+=" $s"
}
for ((r = 1; r <= RUNS; r++)); do
  note "the folder, round $r of $RUNS"
  folder_once one_cmd
  folder_once each_cmd
  folder_once floor_cmd
  joined_once
done
clear_texts
rm -f "$SCRATCH/pages-joined.html" "$SCRATCH/pages-joined.txt"
# shellcheck disable=SC2086  # the times, one word each
one_s=$(median ${FOLDER_TIMES[one_cmd]})
# shellcheck disable=SC2086
each_s=$(median ${FOLDER_TIMES[each_cmd]})
# shellcheck disable=SC2086
floor_s=$(median ${FOLDER_TIMES[floor_cmd]})
# shellcheck disable=SC2086
joined_s=$(median ${FOLDER_TIMES[joined]})

# --- the report -----------------------------------------------------------------------------
bytes_of() { stat -c %s "$1"; }
version() { dpkg-query -W -f '${Version}' "$1" 2>/dev/null || echo '?'; }
echo "# qln against other converters"
echo
echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 |
  sed 's/^ //'), $(nproc) cores"
echo "Load average (1, 5, 15 min) at the start: $load_at_start; at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
if awk -v l="$max_load" -v n="$(nproc)" 'BEGIN { exit !(l > n / 2) }'; then
  echo "The machine was busy (load average up to $max_load on $(nproc) cores): times vary from"
  echo "run to run, instruction counts do not."
fi
echo "qln's kernel (the auto choice): $AUTO_KERNEL; kernels here: ${KERNELS[*]}"
echo "Peers: links $(version links), lynx $(version lynx), w3m $(version w3m)," \
  "html2text $(version html2text)"
echo "Inputs: page mix = gen_html mix $SIZE ($(bytes_of "$MIX") bytes);" \
  "real pages = bench/corpus.sh --concat $SIZE ($(bytes_of "$REAL") bytes)"
echo "MB/s: 10^6 input bytes per second, median of $RUNS runs, process start included;"
echo "instr/B: callgrind's count for the whole input less that for its first $HEAD_BYTES bytes,"
echo "over (bytes - $HEAD_BYTES); x scan: speed over the block scan's on the same input."
echo
printf '| %-22s | %8s | %7s | %11s | %10s | %9s | %8s | %12s | %11s | %-24s |\n' program \
  "mix MB/s" "mix MiB" "mix instr/B" "mix x scan" "real MB/s" "real MiB" "real instr/B" \
  "real x scan" targets
rule L22 R8 R7 R11 R10 R9 R8 R12 R11 L24
for row in "${ROWS[@]}"; do
  if ! installed "$row"; then
    printf '| %-22s | %s |\n' "${LABEL[$row]}" "not installed: left out"
    continue
  fi
  target='' ipb_limit=''
  case $row in
    classic-filter) target="<= 10 instr/B, >= 0.5x scan" ipb_limit=10 ;;
    classic-file) target="<= 10 instr/B" ipb_limit=10 ;;
    modern-*) target="<= 14 instr/B" ipb_limit=14 ;;
  esac
  cells=()
  for in in "${INPUTS[@]}"; do
    k=$(key "$row" "$in")
    scan_s=${SECS[$(key scan "$in")]:-}
    if [ -z "${SECS[$k]:-}" ]; then
      cells+=(failed - - -)
      continue
    fi
    ipb=${IPB[$k]:--}
    [ -z "$ipb_limit" ] || ipb=$(mark "$ipb" "<=" "$ipb_limit")
    x=-
    [ -z "$scan_s" ] || x=$(ratio "$scan_s" "${SECS[$k]}")
    [ "$row" != classic-filter ] || [ "$x" = - ] || x=$(mark "$x" ">=" 0.5)
    cells+=("$(mbps "$(bytes_of "$in")" "${SECS[$k]}")" "$(mib "${PEAK[$k]}")" "$ipb" "$x")
  done
  printf '| %-22s | %8s | %7s | %11s | %10s | %9s | %8s | %12s | %11s | %-24s |\n' \
    "${LABEL[$row]}" "${cells[@]}" "$target"
done
echo

echo "## Block kernels"
echo
echo "Each kernel forced through a whole conversion as the filter makes it (bench/kernel_run);"
echo "the auto rows are qln itself. Targets: classic ≤ 10 instr/B, modern ≤ 14."
[ "$have_valgrind" = 0 ] || [ "$CG_KERNEL" = "$AUTO_KERNEL" ] ||
  echo "Under callgrind the auto choice is $CG_KERNEL, not $AUTO_KERNEL."
echo
printf '| %-8s | %-16s | %9s | %11s | %9s | %12s | %-11s |\n' profile kernel "mix MB/s" \
  "mix instr/B" "real MB/s" "real instr/B" "same as qln"
rule L8 L16 R9 R11 R9 R12 L11
for p in classic modern; do
  limit=10
  [ $p = classic ] || limit=14
  for k in "${KERNELS[@]}" auto; do
    if [ "$k" = auto ]; then
      row=$p-filter label="auto ($AUTO_KERNEL): qln" same=-
    else
      row=kernel-$k-$p label=$k same=${SAME[$k-$p]}
    fi
    cells=()
    for in in "${INPUTS[@]}"; do
      kk=$(key "$row" "$in")
      ipb=${IPB[$kk]:--}
      [ "$k" != auto ] || ipb=$(mark "$ipb" "<=" $limit)
      if [ -n "${SECS[$kk]:-}" ]; then
        cells+=("$(mbps "$(bytes_of "$in")" "${SECS[$kk]}")" "$ipb")
      else
        cells+=(failed "$ipb")
      fi
    done
    printf '| %-8s | %-16s | %9s | %11s | %9s | %12s | %-11s |\n' $p "$label" "${cells[@]}" "$same"
  done
done
echo

echo "## Scaling (qln as a filter; median of $RUNS runs, the 1 GiB input one run)"
echo
printf '| %-26s | %10s | %12s | %12s | %12s | %12s |\n' input MB "classic MB/s" \
  "classic peak" "modern MB/s" "modern peak"
rule L26 R10 R12 R12 R12 R12
declare -A SCALE_LABEL=([mix-8M]="page mix, 8 MiB" [mix-64M]="page mix, 64 MiB"
  [mix-1G]="page mix, 1 GiB" [links-100k]="100,000 distinct links"
  [links-1M]="1,000,000 distinct links")
for name in mix-8M mix-64M mix-1G links-100k links-1M; do
  cells=()
  for p in classic modern; do
    k=$(key "$p-filter" "$name")
    cells+=("$(mbps "${BYTES[$name]}" "${SECS[$k]}")" "$(mib "${PEAK[$k]}") MiB")
  done
  printf '| %-26s | %10s | %12s | %12s | %12s | %12s |\n' "${SCALE_LABEL[$name]}" \
    "$(awk -v b="${BYTES[$name]}" 'BEGIN { printf "%.1f", b / 1e6 }')" "${cells[@]}"
done
echo
s() { printf '%s' "${SECS[$(key "$1-filter" "$2")]}"; }
pk() { mib "${PEAK[$(key "$1-filter" "$2")]}"; }
for p in classic modern; do
  echo "$p: 64 MiB / 8 MiB time $(ratio "$(s $p mix-64M)" "$(s $p mix-8M)")× (sizes 8×);" \
    "1M / 100k distinct links time $(ratio "$(s $p links-1M)" "$(s $p links-100k)")×" \
    "(sizes $(ratio "${BYTES[links-1M]}" "${BYTES[links-100k]}")×);" \
    "peak memory 8 MiB / 64 MiB / 1 GiB: $(pk $p mix-8M) / $(pk $p mix-64M) / $(pk $p mix-1G) MiB"
done
echo

echo "## A folder of $PAGES small pages (classic, file mode; median of $RUNS runs)"
echo
echo "The page mix cut at line ends into pieces of at most 4 KiB:" \
  "$(awk -v b="$pages_bytes" -v n="$PAGES" 'BEGIN { printf "%.0f bytes a page on average, %.1f MB", b / n, b / 1e6 }')."
echo
printf '| %-45s | %8s | %8s |\n' way seconds files/s
rule L45 R8 R8
one_rate=$(awk -v n="$PAGES" -v s="$one_s" 'BEGIN { printf "%.0f", n / s }')
each_rate=$(awk -v n="$PAGES" -v s="$each_s" 'BEGIN { printf "%.0f", n / s }')
printf '| %-45s | %8.2f | %8s |\n' "one run: $one_way" "$one_s" "$one_rate"
printf '| %-45s | %8.2f | %8s |\n' "one process per file: xargs -0 -n 1 qln" "$each_s" "$each_rate"
for way in "the saves alone, from Python: save_floor.py:$floor_s" \
  "the conversion alone: the pages as one file:$joined_s"; do
  printf '| %-45s | %8.2f | %8s |\n' "${way%:*}" "${way##*:}" \
    "$(awk -v n="$PAGES" -v s="${way##*:}" 'BEGIN { printf "%.0f", n / s }')"
done
echo
echo "one run / one process per file: $(ratio "$each_s" "$one_s")×;" \
  "one run against the saves alone plus the conversion alone:" \
  "$(ratio "$one_s" "$(awk -v a="$floor_s" -v b="$joined_s" 'BEGIN { print a + b }')")×"
echo
echo "(the whole run took $(((EPOCHSECONDS - started) / 60)) min $(((EPOCHSECONDS - started) % 60)) s)"
