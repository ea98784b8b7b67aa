#!/usr/bin/env bash
# Builds the fuzzers (clang with ASan and UBSan) and runs each one for a bounded
# time on a corpus seeded from fuzz/seeds, the sample page and the test data.
# Exits non-zero on the first finding; the input that caused it is saved under
# <build>/findings/<fuzzer>/.
#
# Usage: fuzz/run_fuzzers.sh [SECONDS_EACH [FUZZER...]]
#   FUZZER is one of: engine kernel settings text clipboard (default: all of them).
#   QLN_FUZZ_BUILD names the build folder (default: build-fuzz).
#   QLN_FUZZ_JOBS is how many run at once (default: one per processor).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(engine kernel settings text clipboard)
build=${QLN_FUZZ_BUILD:-build-fuzz}

CXX=clang++ cmake -S . -B "$build" -G Ninja -DQLN_BUILD_FUZZERS=ON \
  -DQLN_BUILD_TESTS=OFF -DQLN_WARNINGS_AS_ERRORS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

jobs=${QLN_FUZZ_JOBS:-$(nproc)}

# Runs one fuzzer; a finding prints the end of its log and fails.
run_one() {
  local name=$1 seeds corpus findings
  if [ "$name" = settings ]; then
    seeds=(fuzz/seeds/settings)
  else
    seeds=(fuzz/seeds/html samples tests/data)
  fi
  corpus="$build/corpus/$name"     # grows from run to run; the seeds stay as they are
  findings="$build/findings/$name/"
  mkdir -p "$corpus" "$findings"
  "$build/fuzz/${name}_fuzzer" "$corpus" "${seeds[@]}" \
    -max_total_time="$seconds" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$findings" -print_final_stats=1 2>"$build/fuzz-$name.log" ||
    { tail -n 60 "$build/fuzz-$name.log"; echo "${name}_fuzzer found a fault"; return 1; }
  echo "== ${name}_fuzzer, ${seconds}s"
  grep -E '^(stat::number_of_executed_units|Done)' "$build/fuzz-$name.log" || true
}

# A batch of `jobs` fuzzers at a time; after a batch with a finding, no more.
for ((first = 0; first < ${#fuzzers[@]}; first += jobs)); do
  pids=()
  for name in "${fuzzers[@]:first:jobs}"; do
    run_one "$name" &
    pids+=($!)
  done
  failed=0
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  [ "$failed" = 0 ] || exit 1
done
