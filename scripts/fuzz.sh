#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) into ./build-fuzz (or $FUZZ_BUILD_DIR)
# and runs each one for the given seconds (default 10), one after the other, starting from the
# seeds in tests/fuzz-corpus/<target>. A finding is kept under <build>/fuzz-findings/<target>/
# and makes the script fail. FUZZ_TARGETS="wheel settings" runs only those.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-10}
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
WITH_FUZZ=1 bash scripts/install-deps.sh

CC=${FUZZ_CC:-clang-14} CXX=${FUZZ_CXX:-clang++-14} cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRINDLEMARK_FUZZ=ON -DBRINDLEMARK_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD_DIR" --target fuzzers -j "${FUZZ_JOBS:-2}"

targets=${FUZZ_TARGETS:-$(cd tests/fuzz-corpus && ls)}
failed=()
summary=()
for t in $targets; do
  exe="$BUILD_DIR/bin/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz_$t was not built" >&2; failed+=("$t"); continue; }
  work="$BUILD_DIR/fuzz-corpus/$t"
  findings="$BUILD_DIR/fuzz-findings/$t"
  mkdir -p "$work" "$findings"
  log="$BUILD_DIR/fuzz-$t.log"
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  echo "== fuzz_$t for ${SECONDS_PER_TARGET}s"
  # Qt reads no display here; the command line's parser never opens a window anyway.
  if QT_QPA_PLATFORM=offscreen "$exe" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 "${dict[@]}" -print_final_stats=1 -artifact_prefix="$findings/" "$work" "tests/fuzz-corpus/$t" >"$log" 2>&1; then
    status=ok
  else
    status=FINDING
    failed+=("$t")
    tail -n 40 "$log" >&2
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  summary+=("fuzz_$t: $status, $runs runs, coverage $cov, corpus $(ls "$work" | wc -l)")
done
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs under $BUILD_DIR/fuzz-findings/)" >&2
  exit 1
fi
