#!/usr/bin/env bash
# Times the start of the command line: `brindlemark --version` and `brindlemark check --help`
# against a plain C++ program that writes a line (built here with the same compiler), each the
# least of RUNS alternating runs, and the peak memory of a check of the sample wheel.
# Targets: each command at most 10 ms; peak memory of check at most 20 MB.
# Usage: bench/start-up.sh [BUILD_DIR]   (default: ./build)
set -euo pipefail

BUILD=${1:-build}
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time, package time) is needed" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

printf '#include <iostream>\nint main() { std::cout << "1.0.0" << std::endl; }\n' > "$WORK/plain.cpp"
${CXX:-g++} -O2 -o "$WORK/plain" "$WORK/plain.cpp"

RUNS=${RUNS:-30}
least() {  # the least of RUNS runs of the command, in ms
  local best=999999 t0 t1 ms
  for _ in $(seq "$RUNS"); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000 ))
    (( ms < best )) && best=$ms
  done
  echo "$best"
}
# Alternating: each side's least over the same stretch of time.
plain=999999 version=999999 help=999999
for _ in 1 2 3; do
  p=$(least "$WORK/plain"); v=$(least "$EXE" --version); h=$(least "$EXE" check --help)
  (( p < plain )) && plain=$p; (( v < version )) && version=$v; (( h < help )) && help=$h
done
fail=0
report() {  # label, microseconds
  local verdict=ok
  (( $2 > 10000 )) && { verdict="TOO SLOW (target 10 ms)"; fail=1; }
  printf '%-26s %6.1f ms  %5.1fx the plain program  %s\n' "$1" "$(bc -l <<< "$2 / 1000")" \
    "$(bc -l <<< "$2 / $plain")" "$verdict"
}
printf '%-26s %6.1f ms\n' "plain C++ program" "$(bc -l <<< "$plain / 1000")"
report "brindlemark --version" "$version"
report "brindlemark check --help" "$help"

/usr/bin/time -f "%M" -o "$WORK/mem" "$EXE" --home "$SRC/sample" check --definition LO649 \
  --wheel LO649-sample.txt --draw "3 11 19 27 35 43 44" >/dev/null 2>&1
kb=$(cat "$WORK/mem")
verdict=ok
(( kb > 20 * 1024 )) && { verdict="TOO MUCH (target 20 MB)"; fail=1; }
printf '%-26s %6.1f MB peak  %s\n' "check of the sample" "$(bc -l <<< "$kb / 1024")" "$verdict"
/usr/bin/time -f "%M" -o "$WORK/mem" "$WORK/plain" >/dev/null
printf '%-26s %6.1f MB peak\n' "plain C++ program" "$(bc -l <<< "$(cat "$WORK/mem") / 1024")"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
