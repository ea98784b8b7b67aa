#!/usr/bin/env bash
# Differential check: the current qln against a reference build from an
# earlier commit (by default the engine before it was tuned for speed, with
# the fix for a line cut right before an empty piece or a zero byte), on
# generated inputs of many shapes and sizes, under several settings files.
# Both the whole program (file mode) and the engine alone (line by line, in
# pieces, and as one CR LF chunk) must give the same bytes.
#
#   bench/diffcheck.sh              # against the default reference
#   REF=<commit> bench/diffcheck.sh
#   QUICK=1 bench/diffcheck.sh      # fewer seeds and sizes
set -euo pipefail
cd "$(dirname "$0")/.."

REF=${REF:-a50a9eb}
BUILD=${BUILD:-build-bench}
WORK=$BUILD/diffcheck
REF_SRC=$BUILD/ref-$REF-src
REF_BUILD=$BUILD/ref-$REF

# --- builds ------------------------------------------------------------------
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQLN_BUILD_TESTS=OFF \
  -DQLN_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" -j2 --target qln gen_html engine_run >/dev/null
if [ ! -x "$REF_BUILD/engine_run" ]; then
  rm -rf "$REF_SRC" && mkdir -p "$REF_SRC"
  git archive "$REF" | tar -x -C "$REF_SRC"
  cmake -S "$REF_SRC" -B "$REF_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQLN_BUILD_TESTS=OFF >/dev/null
  cmake --build "$REF_BUILD" -j2 >/dev/null
  # The engine driver, built against the reference's own engine.
  g++ -std=c++20 -O2 -I "$REF_SRC" bench/engine_run.cc "$REF_BUILD/libqln_app.a" \
    "$REF_BUILD/libqln_engine.a" "$REF_BUILD/libqln_platform.a" -o "$REF_BUILD/engine_run"
fi

# --- settings files ------------------------------------------------------------
rm -rf "$WORK" && mkdir -p "$WORK/in"
ini() {  # ini NAME LEFT RIGHT URLS KEEP SPACE2
  mkdir -p "$WORK/$1/ref" "$WORK/$1/new"
  if [ "$1" != default ]; then
    printf '[qln]\nLeftMargin=%s\nRightMargin=%s\nDoURLs=%s\nKeepLinefeeds=%s\nSpace2AfterPeriod=%s\n' \
      "${@:2}" >"$WORK/$1/qln.ini"
    cp "$WORK/$1/qln.ini" "$WORK/$1/ref/" && cp "$WORK/$1/qln.ini" "$WORK/$1/new/"
  fi
  cp "$REF_BUILD/qln" "$WORK/$1/ref/qln"
  cp "$BUILD/qln" "$WORK/$1/new/qln"
}
INIS=(default narrow wide flat)
ini default
ini narrow 0 40 1 1 0
ini wide 10 999 1 1 1
ini flat 2 78 0 0 1

# --- comparing -------------------------------------------------------------------
checks=0
failures=0
fail() {
  failures=$((failures + 1))
  [ "$failures" -le 10 ] && echo "DIFFERS: $*"
  return 0
}

check_input() {  # check_input FILE
  local input=$1 name set args
  for set in "${INIS[@]}"; do
    # File mode: each build converts its own copy.
    cp "$input" "$WORK/in/ref.htm" && cp "$input" "$WORK/in/new.htm"
    "$WORK/$set/ref/qln" "$WORK/in/ref.htm" 2>/dev/null
    "$WORK/$set/new/qln" "$WORK/in/new.htm" 2>/dev/null
    checks=$((checks + 1))
    cmp -s "$WORK/in/ref.txt" "$WORK/in/new.txt" || fail "file mode, settings $set, $input"
    # The engine alone, fed in several ways.
    local ini_args=()
    [ "$set" = default ] || ini_args=(-i "$WORK/$set/qln.ini")
    for args in "" "-p 1" "-p 7" "-p 4093" "-c" "-c -p 1" "-c -p 13" "-c -p 65535"; do
      # shellcheck disable=SC2086
      "$REF_BUILD/engine_run" "${ini_args[@]}" $args "$input" >"$WORK/in/ref.out"
      # shellcheck disable=SC2086
      "$BUILD/bench/engine_run" "${ini_args[@]}" $args "$input" >"$WORK/in/new.out"
      checks=$((checks + 1))
      cmp -s "$WORK/in/ref.out" "$WORK/in/new.out" ||
        fail "engine_run ${ini_args[*]} $args $input"
    done
  done
}

SHAPES=(mix prose tags entities links pre longline soup soup-eof random random-eof)
if [ -n "${QUICK:-}" ]; then SIZES=(1k 100k); SEEDS=(1); else SIZES=(1k 30k 300k 1M); SEEDS=(1 2 3); fi
for shape in "${SHAPES[@]}"; do
  for size in "${SIZES[@]}"; do
    for seed in "${SEEDS[@]}"; do
      file=$WORK/$shape-$size-$seed.htm
      "$BUILD/gen_html" "$shape" "$size" -s "$seed" -o "$file"
      before=$failures
      check_input "$file"
      [ "$failures" -gt "$before" ] || rm -f "$file"  # a differing input stays
    done
  done
done
# Lines longer than the reader's buffer, cut around its size, with CR LF.
for size in 65534 65535 65536 65537 131073; do
  file=$WORK/long-$size.htm
  "$BUILD/gen_html" soup "$size" -s "$size" -o "$file.raw"
  tr '\n' ' ' <"$file.raw" >"$file" && rm -f "$file.raw"
  printf '\r\n<P>end\r' >>"$file"
  before=$failures
  check_input "$file"
  [ "$failures" -gt "$before" ] || rm -f "$file"
done

echo "$checks comparisons against $REF, $failures differ"
[ "$failures" -eq 0 ]
