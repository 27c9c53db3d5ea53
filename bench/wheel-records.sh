#!/usr/bin/env bash
# Measures `wheel make` against published wheel sizes: for every row of the records table
# (../shared/data/wheels/records.csv beside the repository, or RECORDS=FILE) it builds the wheel
# within the row's time and prints the size reached, the record, their ratio and the time taken,
# then a summary line. Skips, saying so, when the table is absent.
# Usage: bench/wheel-records.sh [BUILD_DIR] [SECONDS_PER_ROW (10)] [MAX_V (all)] [FILTER (a regex on "v,k,m,t")]
# Runs each search with `nice`; the machine's load is printed first, since it sets the pace.
set -euo pipefail

BUILD=${1:-build}
SECONDS_PER_ROW=${2:-10}
MAX_V=${3:-1000}
FILTER=${4:-.}
SRC=$(cd "$(dirname "$0")/.." && pwd)
EXE="$BUILD/bin/brindlemark"
RECORDS=${RECORDS:-$SRC/../shared/data/wheels/records.csv}
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
if [ ! -f "$RECORDS" ]; then
  echo "no records table at $RECORDS: skipped"
  exit 0
fi
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
# A copy, so that a rebuild meanwhile does not pull the program from under the runs; its wheel
# library where the program looks for it, ../share/brindlemark/wheels/library from its folder.
mkdir -p "$HOME_DIR/bin" "$HOME_DIR/share/brindlemark/wheels"
cp "$EXE" "$HOME_DIR/bin/brindlemark"
[ -d "$BUILD/share/brindlemark/wheels/library" ] && cp -r "$BUILD/share/brindlemark/wheels/library" "$HOME_DIR/share/brindlemark/wheels/"
EXE="$HOME_DIR/bin/brindlemark"

echo "load: $(uptime | sed 's/.*load average: //')   seconds per row: $SECONDS_PER_ROW"
printf '%-14s %7s %7s %7s %8s  %s\n' "v,k,m,t" "made" "record" "ratio" "time" "status"
rows=0 at=0 in5=0 in10=0 worst=0 small=0 smallAt=0
while IFS=, read -r v k m t plays status source; do
  [ "$v" = v ] && continue
  [ "$v" -le "$MAX_V" ] || continue
  [[ "$v,$k,$m,$t" =~ $FILTER ]] || continue
  line=$(nice "$EXE" --home "$HOME_DIR" wheel make --count "$v" --pick "$k" --if "$m" --match "$t" \
         --seconds "$SECONDS_PER_ROW" 2>&1 >/dev/null || true)
  made=$(sed -n 's/^\(interrupted; the best wheel so far: \)\{0,1\}\([0-9]*\) plays, \([0-9.]*\) s,.*/\2/p' <<<"$line")
  took=$(sed -n 's/^.* plays, \([0-9.]*\) s,.*/\1/p' <<<"$line")
  if [ -z "$made" ]; then
    printf '%-14s %7s %7s %7s %8s  %s\n' "$v,$k,$m,$t" "-" "$plays" "-" "-" "$line"
    rows=$((rows + 1)); worst=999; continue
  fi
  ratio=$(awk -v a="$made" -v b="$plays" 'BEGIN { printf "%.3f", a / b }')
  printf '%-14s %7s %7s %7s %8s  %s\n' "$v,$k,$m,$t" "$made" "$plays" "$ratio" "${took}s" "$status"
  rows=$((rows + 1))
  [ "$made" -le "$plays" ] && at=$((at + 1))
  awk -v r="$ratio" 'BEGIN { exit !(r <= 1.05) }' && in5=$((in5 + 1))
  awk -v r="$ratio" 'BEGIN { exit !(r <= 1.10) }' && in10=$((in10 + 1))
  worst=$(awk -v r="$ratio" -v w="$worst" 'BEGIN { print (r > w ? r : w) }')
  if [ "$v" -le 13 ]; then
    small=$((small + 1))
    [ "$made" -le "$plays" ] && smallAt=$((smallAt + 1))
  fi
done < "$RECORDS"
echo "summary: $rows rows; at the record $at; within 5 % $in5; within 10 % $in10; worst ratio $worst;" \
     "rows with v <= 13 at the record: $smallAt of $small; load: $(uptime | sed 's/.*load average: //')"
