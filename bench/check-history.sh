#!/usr/bin/env bash
# Times `check --draws`: a 1,000,000-play 6/49 wheel and a 163-play wheel against a made-up
# history of 4,210 draws of 6 from 49 with bonus, the CSV shape of a lottery's results file.
# Prints each time and the program's peak memory; target for the big wheel: at most 0.1 s (the
# least of three runs), also shown as a ratio to `brindlemark --version` in the same run. Usage: bench/check-history.sh [BUILD_DIR] [DRAWS_CSV]
# The files are made in a temporary folder by a generator of our own; a results file given as
# DRAWS_CSV (a lottery's own, of 6 from 49 with bonus) takes the made-up history's place.
set -euo pipefail

BUILD=${1:-build}
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

python3 - "$WORK" <<'PY'
import datetime, random, sys
work = sys.argv[1]
rnd = random.Random(649)
with open(work + "/draws.csv", "w", newline="") as out:
    out.write('"PRODUCT","DRAW NUMBER","SEQUENCE NUMBER","DRAW DATE","NUMBER DRAWN 1","NUMBER DRAWN 2",'
              '"NUMBER DRAWN 3","NUMBER DRAWN 4","NUMBER DRAWN 5","NUMBER DRAWN 6","BONUS NUMBER"\r\n')
    day = datetime.date(1982, 6, 12)
    for n in range(1, 4211):
        d = rnd.sample(range(1, 50), 7)
        out.write('"649",%d,0,"%s",%s\r\n' % (n, day.isoformat(), ",".join(map(str, sorted(d[:6]) + [d[6]]))))
        day += datetime.timedelta(days=3 if n % 2 else 4)
for name, plays in (("big", 1000000), ("small", 163)):
    with open("%s/%s.txt" % (work, name), "w", newline="") as out:
        out.write("".join(",".join(map(str, sorted(rnd.sample(range(1, 50), 6)))) + "\r\n" for _ in range(plays)))
PY
if [ -n "${2:-}" ]; then cp "$2" "$WORK/draws.csv"; fi
DRAWS=$(grep -cE '[0-9]{4}-[0-9]{2}-[0-9]{2}' "$WORK/draws.csv")

START=1
for _ in $(seq 20); do
  /usr/bin/time -f "%e" -o "$WORK/time" "$EXE" --version >/dev/null
  s=$(cat "$WORK/time")
  if [ "$(echo "$s < $START" | bc -l)" = 1 ]; then START=$s; fi
done
if [ "$(echo "$START < 0.01" | bc -l)" = 1 ]; then START=0.01; fi
fail=0
for name in big small; do
  best=999
  for run in 1 2 3; do
    /usr/bin/time -f "%e s (cpu %U s user), %M KB peak" -o "$WORK/time" \
      "$EXE" --home "$SRC/sample" check --definition LO649 --wheel "$WORK/$name.txt" --draws "$WORK/draws.csv" \
      > "$WORK/out.csv" 2> "$WORK/err"
    echo "$name wheel, run $run: $(cat "$WORK/time"); $(cat "$WORK/err")"
    s=$(cut -d' ' -f1 "$WORK/time")
    if [ "$(echo "$s < $best" | bc -l)" = 1 ]; then best=$s; fi
  done
  [ "$(wc -l < "$WORK/out.csv")" = $((DRAWS + 2)) ] || { echo "expected $((DRAWS + 2)) CSV lines" >&2; exit 1; }
  if [ $name = big ]; then
    printf 'big wheel: least %s s, %.1fx --version: ' "$best" "$(echo "$best / $START" | bc -l)"
    if [ "$(echo "$best <= 0.1" | bc -l)" = 1 ]; then echo "ok (target 0.1 s)"; else echo "MISSED (target 0.1 s)"; fail=1; fi
  fi
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
