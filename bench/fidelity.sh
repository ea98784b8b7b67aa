#!/usr/bin/env bash
# The fidelity table: how many of each real page's words qln (classic and
# modern) and other HTML-to-text converters keep, and how many of their words
# belong to the page, against the text of `lynx -dump`; with the longest run
# of blank lines, the total time and the peak memory of each.
#
#   bench/fidelity.sh            # builds qln in build-bench, corpus in build-bench/corpus
#   bench/fidelity.sh PATH/qln   # or QLN=PATH/qln bench/fidelity.sh: that qln
#   TIMEOUT=60 OUT=/tmp/fid bench/fidelity.sh
#
# Missing converters (lynx, w3m, html2text, and Python's html2text from
# python3-html2text, whose command is html2markdown.py3) and GNU time are
# installed from Debian's packages when running as root. qln runs twice, as
# copies in two folders of their own, each beside a qln.ini that turns the
# modern profile on or off. Each conversion is killed after TIMEOUT seconds (30). The table
# is printed and kept in OUT/table.md (OUT is build-bench/fidelity), with
# every output under OUT/outputs/ and the per-page figures in OUT/pages.tsv.
# The work is in bench/fidelity.py.
set -euo pipefail
# Paths given are taken from where the script was started.
QLN=${1:-${QLN:-}}
for v in QLN OUT CORPUS; do
  [ -z "${!v:-}" ] || printf -v "$v" '%s' "$(realpath -m "${!v}")"
done
cd "$(dirname "$0")/.."

BUILD=${BUILD:-build-bench}
OUT=${OUT:-$BUILD/fidelity}
CORPUS=${CORPUS:-$BUILD/corpus}
TIMEOUT=${TIMEOUT:-30}

# --- converters ------------------------------------------------------------------
need=()
for tool in lynx w3m html2text; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
command -v html2markdown.py3 >/dev/null || need+=(python3-html2text)
[ -x /usr/bin/time ] || need+=(time)  # GNU time, for the peak memory
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    echo "installing ${need[*]}" >&2
    { apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${need[@]}"; } >/dev/null 2>&1 || echo "could not install ${need[*]}" >&2
  else
    echo "not root: not installing ${need[*]}" >&2
  fi
fi
command -v lynx >/dev/null || { echo "lynx is needed for the page's own text" >&2; exit 1; }

# --- qln, once per profile ---------------------------------------------------------
if [ -z "$QLN" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DQLN_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD" --target qln >/dev/null
  QLN=$BUILD/qln
fi
[ -x "$QLN" ] || { echo "no qln at $QLN" >&2; exit 1; }
# qln reads the qln.ini beside its executable: the first line is ignored, and
# ModernHtml=1 on a later line turns the modern profile on.
rm -rf "$OUT/qln-classic" "$OUT/qln-modern" "$OUT/outputs"
for profile in classic:0 modern:1; do
  dir=$OUT/qln-${profile%:*}
  mkdir -p "$dir"
  cp "$QLN" "$dir/qln"
  printf 'qln settings\nModernHtml=%s\n' "${profile#*:}" >"$dir/qln.ini"
done

# --- corpus and table -----------------------------------------------------------------
bench/corpus.sh "$CORPUS"
echo
python3 bench/fidelity.py --corpus "$CORPUS" --out "$OUT" --timeout "$TIMEOUT" \
  --qln-classic "$OUT/qln-classic/qln" --qln-modern "$OUT/qln-modern/qln"
echo
echo "whole run: $SECONDS s"
