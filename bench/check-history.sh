#!/usr/bin/env bash
# Times `check --draws`: a 1,000,000-play 6/49 wheel and a 163-play wheel against a made-up
# history of 4,210 draws of 6 from 49 with bonus, the CSV shape of a lottery's results file.
# Prints each time and the program's peak memory. Usage: bench/check-history.sh [BUILD_DIR] [DRAWS_CSV]
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

for name in big small; do
  for run in 1 2 3; do
    /usr/bin/time -f "%e s (cpu %U s user), %M KB peak" -o "$WORK/time" \
      "$EXE" --home "$SRC/sample" check --definition LO649 --wheel "$WORK/$name.txt" --draws "$WORK/draws.csv" \
      > "$WORK/out.csv" 2> "$WORK/err"
    echo "$name wheel, run $run: $(cat "$WORK/time"); $(cat "$WORK/err")"
  done
  [ "$(wc -l < "$WORK/out.csv")" = $((DRAWS + 2)) ] || { echo "expected $((DRAWS + 2)) CSV lines" >&2; exit 1; }
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
