#!/usr/bin/env bash
# A corpus of real HTML pages gathered from this machine, for the fidelity
# table and for speed runs on real pages.
#
#   bench/corpus.sh [DIR]                   # gathers into DIR (build-bench/corpus)
#   bench/corpus.sh --concat SIZE OUT [DIR] # then joins its pages into OUT
#
# Sources: the Rust documentation of a rustup toolchain (rustdoc API pages and
# the mdBook books), Sphinx pages, Node's API pages, Debian's manuals and the
# other HTML under /usr/share/doc. A few Debian documentation packages are
# installed when missing and running as root. Each source gives at most a
# fixed number of pages of 2 KiB to 2 MiB, spread evenly over its sorted list
# of paths, so the same machine always gives the same pages in the same order.
# The pages are copied as NNN-source-name.html; index.tsv lists each page's
# source, size and original path. A missing source is skipped; fewer than 100
# pages in all is an error.
#
# --concat SIZE OUT writes the corpus pages in order, starting again from the
# first as often as needed, cut at exactly SIZE bytes (8M, 512K, 1G or a
# plain number), into OUT.
set -euo pipefail

usage() {
  echo "usage: bench/corpus.sh [DIR] | bench/corpus.sh --concat SIZE OUT [DIR]" >&2
  exit 2
}
concat_size='' concat_out=''
if [ "${1:-}" = --concat ]; then
  [ $# -ge 3 ] || usage
  concat_size=$(numfmt --from=iec "$2") || usage
  concat_out=$(realpath -m "$3")
  shift 3
fi
[ $# -le 1 ] || usage
DIR=${1:-${CORPUS:-}}
[ -z "$DIR" ] || DIR=$(realpath -m "$DIR")
cd "$(dirname "$0")/.."
DIR=${DIR:-build-bench/corpus}

MIN_BYTES=2048
MAX_BYTES=$((2 * 1024 * 1024))

# --- documentation packages --------------------------------------------------
# Debian's manuals and three libraries' Sphinx manuals, a few MB in all.
docs=(debian-reference-en developers-reference debian-faq maint-guide
  python-requests-doc python-jinja2-doc python-flask-doc)
missing=()
for p in "${docs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    echo "installing ${missing[*]}" >&2
    { apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"; } >/dev/null 2>&1 ||
      echo "could not install ${missing[*]}; going on without them" >&2
  else
    echo "not root: not installing ${missing[*]}" >&2
  fi
fi

# --- sources -------------------------------------------------------------------
# Each prints candidate pages as "SIZE PATH" lines.

# The Rust documentation of one toolchain: a stable one if there is one, else
# the first by name.
rust_html=''
for t in "${RUSTUP_HOME:-$HOME/.rustup}"/toolchains/*/share/doc/rust/html; do
  [ -d "$t" ] || continue
  [ -n "$rust_html" ] || rust_html=$t
  case $t in */toolchains/stable-*) rust_html=$t; break ;; esac
done
rustdoc_dirs=(std alloc core proc_macro test std_detect)

src_rustdoc() {  # the API pages of std, alloc, proc_macro and test (core mirrors std)
  [ -n "$rust_html" ] || return 0
  local d
  for d in std alloc proc_macro test; do
    [ -d "$rust_html/$d" ] && find "$rust_html/$d" -type f -name '*.html' -printf '%s %p\n'
  done
  return 0
}

src_rust_books() {  # the mdBook books: the book, the reference, cargo's, ...
  [ -n "$rust_html" ] || return 0
  local prune=() d
  for d in "${rustdoc_dirs[@]}" src; do prune+=(-path "$rust_html/$d" -prune -o); done
  find "$rust_html" "${prune[@]}" -type f -path "$rust_html/*/*" -name '*.html' \
    -printf '%s %p\n'
}

debian_dirs=(/usr/share/debian-reference /usr/share/developers-reference
  /usr/share/doc/debian/FAQ /usr/share/doc/maint-guide/html /usr/share/doc/debian-policy)

src_debian() {
  local d
  for d in "${debian_dirs[@]}"; do
    [ -d "$d" ] && find "$d" -type f -name '*.html' -printf '%s %p\n'
  done
  return 0
}

src_nodejs() {
  [ -d /usr/share/doc/nodejs ] || return 0
  find /usr/share/doc/nodejs -type f -name '*.html' -printf '%s %p\n'
}

# The rest of /usr/share/doc, split by whether Sphinx made the page.
doc_pages() {
  local prune=() d
  for d in "${debian_dirs[@]}" /usr/share/doc/nodejs; do prune+=(-path "$d" -prune -o); done
  find /usr/share/doc "${prune[@]}" -type f \( -name '*.html' -o -name '*.htm' \) -print
}
is_sphinx() { grep -q -e documentation_options -e '_static/doctools.js' "$1"; }

src_sphinx() {
  local f
  while IFS= read -r f; do
    is_sphinx "$f" && printf '%s %s\n' "$(stat -c %s "$f")" "$f"
  done < <(doc_pages)
  return 0
}

src_other_doc() {
  local f
  while IFS= read -r f; do
    is_sphinx "$f" || printf '%s %s\n' "$(stat -c %s "$f")" "$f"
  done < <(doc_pages)
  return 0
}

# pick N: from "SIZE PATH" lines, keeps the pages of the right size and prints
# N paths spread evenly over their sorted list (all of them if there are
# fewer).
pick() {
  awk -v lo="$MIN_BYTES" -v hi="$MAX_BYTES" \
    '$1 >= lo && $1 <= hi { sub(/^[0-9]+ /, ""); print }' |
    LC_ALL=C sort -u |
    awk -v n="$1" '{ p[NR] = $0 }
      END { k = NR < n ? NR : n; for (i = 0; i < k; i++) print p[int(i * NR / k) + 1] }'
}

# --- gathering -------------------------------------------------------------------
sources=(rustdoc:40 rust_books:30 sphinx:40 nodejs:30 debian:30 other_doc:40)

mkdir -p "$DIR"
find "$DIR" -maxdepth 1 -type f \( -name '[0-9][0-9][0-9]-*' -o -name index.tsv \) -delete
printf 'file\tsource\tbytes\tpath\n' >"$DIR/index.tsv"
declare -A seen=()
n=0 total=0
summary=()
for s in "${sources[@]}"; do
  name=${s%%:*} quota=${s##*:}
  count=0 bytes=0
  while IFS= read -r path; do
    real=$(realpath "$path")
    [ -z "${seen[$real]:-}" ] || continue
    seen[$real]=1
    n=$((n + 1))
    base=$(basename "$path")
    file=$(printf '%03d-%s-%s' "$n" "${name//_/-}" "${base%.htm*}.html")
    cp "$path" "$DIR/$file"
    size=$(stat -c %s "$path")
    printf '%s\t%s\t%s\t%s\n' "$file" "${name//_/-}" "$size" "$path" >>"$DIR/index.tsv"
    count=$((count + 1)) bytes=$((bytes + size))
  done < <("src_$name" | pick "$quota")
  total=$((total + bytes))
  if [ "$count" = 0 ]; then
    summary+=("$(printf '%-10s   0 pages  (source absent: skipped)' "${name//_/-}")")
  else
    summary+=("$(printf '%-10s %3d pages  %6s' "${name//_/-}" "$count" \
      "$(numfmt --to=iec --suffix=B "$bytes")")")
  fi
done

echo "corpus in $DIR:"
printf '  %s\n' "${summary[@]}"
echo "  total      $n pages  $(numfmt --to=iec --suffix=B "$total") ($total bytes)"
if [ "$n" -lt 100 ]; then
  echo "only $n pages found; at least 100 are needed" >&2
  exit 1
fi

# --- one large file of real pages -------------------------------------------------
if [ -n "$concat_out" ]; then
  mapfile -t pages < <(tail -n +2 "$DIR/index.tsv" | cut -f1)
  {
    left=$concat_size
    while [ "$left" -gt 0 ]; do
      for p in "${pages[@]}"; do
        size=$(stat -c %s "$DIR/$p")
        if [ "$size" -ge "$left" ]; then head -c "$left" "$DIR/$p"; left=0; break; fi
        cat "$DIR/$p"
        left=$((left - size))
      done
    done
  } >"$concat_out"
  echo "wrote $concat_out: $(stat -c %s "$concat_out") bytes of corpus pages"
fi
