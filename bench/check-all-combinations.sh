#!/usr/bin/env bash
# Checks the file of all 13,983,816 plays of 6 from 49 with the command line: the counts must be
# exactly C(6,k) x C(43,6-k), and the check must take at most 1.5 times what `wc -l` takes on the
# same file (medians of alternating runs), with a peak memory of at most 20 MB. Usage: bench/check-all-combinations.sh [BUILD_DIR]   (default: ./build)
# The file (about 250 MB) is made once in /tmp and never belongs in the repository.
set -euo pipefail

BUILD=${1:-build}
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
FILE=${BRINDLEMARK_COMBINATIONS_FILE:-/tmp/brindlemark-all-6-from-49.txt}
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }

if [ ! -s "$FILE" ] || [ "$(stat -c %s "$FILE")" != 250281768 ]; then
  echo "making $FILE ..." >&2
  python3 - "$FILE" <<'PY'
import itertools, sys
with open(sys.argv[1] + ".part", "w", newline="") as out:
    lines = []
    for c in itertools.combinations(range(1, 50), 6):
        lines.append("%d,%d,%d,%d,%d,%d\r\n" % c)
        if len(lines) == 200000:
            out.write("".join(lines))
            lines.clear()
    out.write("".join(lines))
PY
  mv "$FILE.part" "$FILE"
fi

# A program folder with a 6-from-49 game without bonus (made from the sample LO649) and the
# sample with bonus.
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
mkdir -p "$HOME_DIR/Defs"
cp "$SRC/sample/Defs/LO649.def" "$HOME_DIR/Defs/LO649.def"
python3 - "$SRC/sample/Defs/LO649.def" "$HOME_DIR/Defs/NB649.def" <<'PY'
import sys
data = open(sys.argv[1], "rb").read().split(b"\r\n")
data[-4] = b" 0 "  # bBon: the fourth line from the end, before bPB, Horizontal and the last line end
open(sys.argv[2], "wb").write(b"\r\n".join(data))
PY

cat "$FILE" > /dev/null  # both timings read from the page cache

now() { date +%s.%N; }
# Five alternating runs of each side; the medians are compared, so a moment of load on the
# machine weighs on neither side alone.
RUNS=${RUNS:-5}
wc_times=() check_times=()
for _ in $(seq "$RUNS"); do
  t0=$(now)
  lines=$(wc -l < "$FILE")
  t1=$(now)
  LC_ALL=C /usr/bin/time -f "%M" -o "$HOME_DIR/memory" "$EXE" --home "$HOME_DIR" check --definition NB649 \
    --wheel "$FILE" --draw "3 11 19 27 35 43" > "$HOME_DIR/report.txt" 2> "$HOME_DIR/status.txt"
  t2=$(now)
  wc_times+=("$(echo "$t1 - $t0" | bc -l)")
  check_times+=("$(echo "$t2 - $t1" | bc -l)")
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
LC_ALL=C "$EXE" --home "$HOME_DIR" check --definition LO649 --wheel "$FILE" --draw "3 11 19 27 35 43 44" \
  > "$HOME_DIR/bonus.txt" 2>/dev/null

fail=0
expect() {  # file, summary line prefix, count
  local got
  got=$(grep -m1 "^$2" "$1" | sed -e "s/^$2//" -e 's/ Expected.*//' -e 's/,//g')
  if [ "$got" != "$3" ]; then echo "WRONG: $1: $2$got, expected $3" >&2; fail=1; fi
}
expect "$HOME_DIR/report.txt" "Match 0 - " 6096454
expect "$HOME_DIR/report.txt" "Match 1 - " 5775588
expect "$HOME_DIR/report.txt" "Match 2 - " 1851150
expect "$HOME_DIR/report.txt" "Match 3 - " 246820
expect "$HOME_DIR/report.txt" "Match 4 - " 13545
expect "$HOME_DIR/report.txt" "Match 5 - " 258
expect "$HOME_DIR/report.txt" "Match 6 - " 1
expect "$HOME_DIR/report.txt" "Total Plays - " 13983816
# With the bonus 44 (not drawn as a main number) the 258 fives split: 6 plays hold the bonus.
expect "$HOME_DIR/bonus.txt" "Match 5 - " 252
expect "$HOME_DIR/bonus.txt" "Match 5+ - " 6
[ "$lines" = 13983816 ] || { echo "WRONG: wc -l says $lines" >&2; fail=1; }

wc_s=$(median "${wc_times[@]}")
check_s=$(median "${check_times[@]}")
ratio=$(echo "$check_s / $wc_s" | bc -l)
printf 'median of %d alternating runs: wc -l: %.3f s   check: %.3f s   ratio: %.2f (target at most 1.5)\n' \
  "$RUNS" "$wc_s" "$check_s" "$ratio"
kb=$(cat "$HOME_DIR/memory")
printf 'peak memory of check: %.1f MB (target at most 20 MB)\n' "$(echo "$kb / 1024" | bc -l)"
if [ "$kb" -gt $((20 * 1024)) ]; then echo "TOO MUCH MEMORY" >&2; fail=1; fi
echo "program's own status: $(cat "$HOME_DIR/status.txt")"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "$(echo "$ratio > 1.5" | bc -l)" = 1 ]; then echo "TOO SLOW" >&2; fail=1; fi
exit $fail
