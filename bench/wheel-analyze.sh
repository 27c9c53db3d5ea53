#!/usr/bin/env bash
# Times `wheel apply` and `wheel analyze` end to end, with the program's peak memory:
#  - a 163-play design of 6 on labels 0..48 (header lines, braces), applied to 1..49 of LO649 and
#    analysed over all 13,983,816 draws;
#  - a 62,832-play design of 6 on labels 1..36, applied to 36 numbers of LO649 and analysed.
# The designs are random plays made here by a generator of our own (the times do not depend on
# what a wheel guarantees). Further design files given after BUILD_DIR are applied to 1..v and
# analysed the same way. Targets: the 163-play analysis in at most 0.1 s, the 62,832-play one in
# at most 0.08 s (the least of three runs); each also shown as a ratio to `brindlemark --version`
# measured in the same run. Usage: bench/wheel-analyze.sh [BUILD_DIR [DESIGN...]]
set -euo pipefail

BUILD=${1:-build}
shift || true
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

python3 - "$WORK" <<'PY'
import random, sys
work = sys.argv[1]
rnd = random.Random(36)
with open(work + "/d163.txt", "w") as out:
    out.write("# 163 plays of 6 on 49 labels\n# random, for timing\n\n")
    for _ in range(163):
        out.write("{ " + ", ".join(map(str, sorted(rnd.sample(range(49), 6)))) + " }\n")
with open(work + "/d62832.txt", "w") as out:
    out.write("# 62,832 plays of 6 on 36 labels\n")
    for _ in range(62832):
        out.write(" ".join(map(str, sorted(rnd.sample(range(1, 37), 6)))) + "\n")
PY

timed() {  # label, then the command
  local label=$1
  shift
  /usr/bin/time -f "%e s (cpu %U s user), %M KB peak" -o "$WORK/time" "$@" > "$WORK/out" 2> "$WORK/err" ||
    { echo "$label: failed: $(cat "$WORK/err")" >&2; exit 1; }
  echo "$label: $(cat "$WORK/time")"
}

START=1
for _ in $(seq 20); do
  /usr/bin/time -f "%e" -o "$WORK/time" "$EXE" --version >/dev/null
  s=$(cat "$WORK/time")
  if [ "$(echo "$s < $START" | bc -l)" = 1 ]; then START=$s; fi
done
if [ "$(echo "$START < 0.01" | bc -l)" = 1 ]; then START=0.01; fi
fail=0

run() {  # design file, numbers[, target seconds]
  local design=$1 numbers=$2 target=${3:-} name best=999 s
  name=$(basename "$design")
  for r in 1 2 3; do
    timed "apply $name, run $r" "$EXE" --home "$SRC/sample" wheel apply --design "$design" --numbers "$numbers" \
      --definition LO649 --out "$WORK/wheel.txt"
  done
  for r in 1 2 3; do
    timed "analyze $name, run $r" "$EXE" --home "$SRC/sample" wheel analyze --definition LO649 --wheel "$WORK/wheel.txt"
    s=$(cut -d' ' -f1 "$WORK/time")
    if [ "$(echo "$s < $best" | bc -l)" = 1 ]; then best=$s; fi
  done
  if [ -n "$target" ]; then
    printf '  least %s s, %.1fx --version: ' "$best" "$(echo "$best / $START" | bc -l)"
    if [ "$(echo "$best <= $target" | bc -l)" = 1 ]; then echo "ok (target $target s)"; else echo "MISSED (target $target s)"; fail=1; fi
  fi
  echo "  $(sed -n '1,2p' "$WORK/out" | tr '\n' ' ')guaranteed $(grep -A7 '^If' "$WORK/out" | tail -1)," \
       "best 0..2: $(grep -A3 '^Best' "$WORK/out" | tail -3 | tr '\n' ' ')"
}

echo "load: $(uptime)"
run "$WORK/d163.txt" "$(seq -s' ' 1 49)" 0.1
run "$WORK/d62832.txt" "$(seq -s' ' 7 42)" 0.08
for design in "$@"; do
  labels() { grep -v '^[[:space:]]*#' "$design" | tr -c '0-9' '\n' | grep .; }
  v=$(labels | sort -n | tail -1)
  if labels | grep -qx 0; then v=$((v + 1)); fi
  run "$design" "$(seq -s' ' 1 "$v")"
done
exit $fail
