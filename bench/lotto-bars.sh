#!/usr/bin/env bash
# The lotto designs against their time bars: `wheel make` for 27 numbers "3 if 4" (6 a play) and
# for 6/49 "3 if 6", each given SECONDS, and the plays reached beside the bar for that time and
# the best published size. The bars: 27 numbers at most 92 plays in 60 s; 6/49 at most 170 in
# 60 s and at most 165 in 600 s. Every wheel it prints was proven by the program's own analysis.
# Usage: bench/lotto-bars.sh [BUILD_DIR] [SECONDS (60)] [SEED (1)]
# Runs each search with `nice`; the machine's load is printed first, since it sets the pace.
set -euo pipefail

BUILD=${1:-build}
SECONDS_GIVEN=${2:-60}
SEED=${3:-1}
EXE="$BUILD/bin/brindlemark"
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
# A copy with its wheel library beside it, as wheel-records.sh does.
mkdir -p "$HOME_DIR/bin" "$HOME_DIR/share/brindlemark/wheels"
cp "$EXE" "$HOME_DIR/bin/brindlemark"
[ -d "$BUILD/share/brindlemark/wheels/library" ] && cp -r "$BUILD/share/brindlemark/wheels/library" "$HOME_DIR/share/brindlemark/wheels/"
EXE="$HOME_DIR/bin/brindlemark"

# v k m t record bar-at-60-s bar-at-600-s (- for none)
SHAPES=(
  "27 6 4 3 86 92 -"
  "49 6 6 3 163 170 165"
)
echo "load: $(uptime | sed 's/.*load average: //')   seconds: $SECONDS_GIVEN   seed: $SEED"
printf '%-10s %6s %6s %6s %8s  %s\n' "v,k,m,t" "made" "bar" "record" "time" "how"
for shape in "${SHAPES[@]}"; do
  read -r v k m t record bar60 bar600 <<<"$shape"
  bar=-
  [ "$SECONDS_GIVEN" -le 60 ] && bar=$bar60
  [ "$SECONDS_GIVEN" -gt 60 ] && [ "$SECONDS_GIVEN" -le 600 ] && bar=$bar600
  line=$(nice "$EXE" --home "$HOME_DIR" wheel make --count "$v" --pick "$k" --if "$m" --match "$t" \
         --seconds "$SECONDS_GIVEN" --seed "$SEED" 2>&1 >/dev/null || true)
  made=$(sed -n 's/^\(interrupted; the best wheel so far: \)\{0,1\}\([0-9]*\) plays, \([0-9.]*\) s,.*/\2/p' <<<"$line")
  took=$(sed -n 's/^.* plays, \([0-9.]*\) s,.*/\1/p' <<<"$line")
  how=$(sed -n 's/^.*best published [0-9]*\(, proven smallest\)\{0,1\}; \{0,1\}//p' <<<"$line")
  if [ -z "$made" ]; then how=$line; elif [ -z "$how" ]; then how=search; fi
  verdict=""
  if [ -n "$made" ] && [ "$bar" != - ]; then
    if [ "$made" -le "$bar" ]; then verdict="bar met"; else verdict="bar not met"; fi
  fi
  printf '%-10s %6s %6s %6s %8s  %s\n' "$v,$k,$m,$t" "${made:--}" "$bar" "$record" "${took:--}s" \
         "${verdict}${verdict:+; }$how"
done
