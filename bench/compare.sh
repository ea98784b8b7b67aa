#!/usr/bin/env bash
# Whole-program comparison: qln in file mode against other HTML-to-text
# converters and a plain block scan, on the same generated file in one run;
# then the scaling runs, peak memory on large inputs, and instructions per
# input byte under callgrind.
#
#   bench/compare.sh            # RUNS=5 SIZE=8M by default
#   RUNS=3 SIZE=16M bench/compare.sh
#
# Inputs are generated into $BUILD/scratch (never committed). Missing Debian
# packages (links, lynx, w3m, html2text, valgrind, time) are installed when
# running as root; a converter that is still missing is left out of the table.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-5}
SIZE=${SIZE:-8M}
BUILD=${BUILD:-build-bench}
SCRATCH=$BUILD/scratch

# --- tools -----------------------------------------------------------------
need=()
for tool in links lynx w3m html2text valgrind; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ] && [ "$(id -u)" = 0 ]; then
  apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed" >&2; exit 1; }

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQLN_BUILD_TESTS=OFF \
  -DQLN_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" -j2 --target qln gen_html block_scan >/dev/null
QLN=$BUILD/qln
GEN=$BUILD/gen_html
SCAN=$BUILD/bench/block_scan
mkdir -p "$SCRATCH"
rm -f "$BUILD/qln.ini"  # the defaults

# --- measuring ---------------------------------------------------------------
# measure FILE CMD...: runs CMD RUNS times; sets SECONDS_MEDIAN and RSS_KIB
# (the largest peak resident size seen).
measure() {
  local file=$1; shift
  local times=() rss=0 r t0 t1 peak
  for ((r = 0; r < RUNS; r++)); do
    t0=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$SCRATCH/.rss" "$@" >/dev/null 2>&1 || true
    t1=$EPOCHREALTIME
    times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')")
    peak=$(tail -n 1 "$SCRATCH/.rss")
    ((peak > rss)) && rss=$peak
  done
  SECONDS_MEDIAN=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
  RSS_KIB=$rss
  BYTES=$(stat -c %s "$file")
}

mibs() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1048576 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

gen() {  # gen NAME ARGS...: generates $SCRATCH/NAME.htm (afresh: it is quick)
  "$GEN" "${@:2}" -o "$SCRATCH/$1.htm"
}

# --- the side-by-side table ----------------------------------------------------
gen "mix-$SIZE" mix "$SIZE"
input=$SCRATCH/mix-$SIZE.htm
echo "Page mix, $SIZE ($(stat -c %s "$input") bytes); median of $RUNS runs; $(nproc) cores"
echo
printf '| %-16s | %8s | %9s | %13s | %13s | %10s |\n' \
  program seconds "MiB/s" "peak RSS MiB" "× block scan" "qln is ×"
printf '|%s|%s|%s|%s|%s|%s|\n' ------------------ ---------: ----------: \
  ---------------: ---------------: ------------:

measure "$input" "$SCAN" "$input"
scan=("$SECONDS_MEDIAN" "$RSS_KIB")
scan_s=$SECONDS_MEDIAN
measure "$input" "$QLN" "$input"
qln=("$SECONDS_MEDIAN" "$RSS_KIB")
qln_s=$SECONDS_MEDIAN
row() {  # row NAME SECONDS RSS_KIB
  printf '| %-16s | %8.4f | %9s | %13.1f | %13s | %10s |\n' "$1" "$2" \
    "$(mibs "$BYTES" "$2")" "$(awk -v k="$3" 'BEGIN { print k / 1024 }')" \
    "$(ratio "$scan_s" "$2")" "$(ratio "$2" "$qln_s")"
}
row "qln (file mode)" "${qln[@]}"
row "block scan (C)" "${scan[@]}"
for peer in "links -dump" "lynx -dump" "w3m -dump" "html2text"; do
  command -v "${peer%% *}" >/dev/null || { echo "| $peer | (not installed) |"; continue; }
  # shellcheck disable=SC2086
  measure "$input" $peer "$input"
  row "$peer" "$SECONDS_MEDIAN" "$RSS_KIB"
done

# --- scaling ---------------------------------------------------------------------
echo
echo "Scaling (qln, median of $RUNS runs)"
echo
printf '| %-34s | %8s | %9s | %12s |\n' input seconds "MiB/s" "peak RSS MiB"
printf '|%s|%s|%s|%s|\n' ------------------------------------ ---------: ----------: --------------:
scale_row() {  # scale_row LABEL FILE
  measure "$2" "$QLN" "$2"
  printf '| %-34s | %8.4f | %9s | %12.1f |\n' "$1" "$SECONDS_MEDIAN" \
    "$(mibs "$BYTES" "$SECONDS_MEDIAN")" "$(awk -v k="$RSS_KIB" 'BEGIN { print k / 1024 }')"
}
gen mix-8M mix 8M
gen mix-64M mix 64M
gen links-100k distinct-links -n 100000
gen links-1M distinct-links -n 1000000
gen longline-50M longline 50M
scale_row "page mix 8 MiB" "$SCRATCH/mix-8M.htm";             t8=$SECONDS_MEDIAN
scale_row "page mix 64 MiB" "$SCRATCH/mix-64M.htm";           t64=$SECONDS_MEDIAN; mix_rate=$(mibs "$BYTES" "$t64")
scale_row "100,000 distinct links" "$SCRATCH/links-100k.htm"; tl1=$SECONDS_MEDIAN
scale_row "1,000,000 distinct links" "$SCRATCH/links-1M.htm"; tl2=$SECONDS_MEDIAN
scale_row "one 50 MiB line" "$SCRATCH/longline-50M.htm";      line_rate=$(mibs "$BYTES" "$SECONDS_MEDIAN")
gen mix-512M mix 512M
scale_row "page mix 512 MiB" "$SCRATCH/mix-512M.htm"
rm -f "$SCRATCH/mix-512M.htm" "$SCRATCH/mix-512M.txt"
echo
echo "64 MiB / 8 MiB time:           $(ratio "$t64" "$t8")× (target ≤ 9)"
echo "1M / 100k distinct links time: $(ratio "$tl2" "$tl1")× (target ≤ 11)"
echo "50 MiB line / page mix rate:   $(ratio "$line_rate" "$mix_rate")× (target ≥ 0.8)"

# --- instructions per byte ---------------------------------------------------------
# The difference between two input sizes takes out start-up and the fixed
# cost of the end.
echo
echo "Instructions per input byte under callgrind (4 MiB minus 1 MiB of page mix)"
gen mix-1M mix 1M
gen mix-4M mix 4M
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/Collected/ { print $NF }'
}
per_byte() {  # per_byte CMD: instructions per byte for CMD FILE
  local small big
  small=$(instructions "$@" "$SCRATCH/mix-1M.htm")
  big=$(instructions "$@" "$SCRATCH/mix-4M.htm")
  awk -v a="$small" -v b="$big" 'BEGIN { printf "%.2f", (b - a) / (3 * 1048576) }'
}
if command -v valgrind >/dev/null; then
  echo "  qln (file mode): $(per_byte "$QLN") (target ≤ 12)"
  echo "  block scan (C):  $(per_byte "$SCAN")"
else
  echo "  valgrind is not installed"
fi
