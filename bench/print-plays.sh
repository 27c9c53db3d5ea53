#!/usr/bin/env bash
# Times the print job from the command line on the sample 6/49 definition (LO649: 2 main panels
# of 5 across, 7 x 7) with wheels of 10,000 and 100,000 plays, to --marks and to --pdf, and
# shows the peak memory of each run (GNU time), the least of RUNS runs. Memory must stay flat as
# the wheel grows. Targets for 100,000 plays: the PDF in at most 0.3 s and 8 MB, --marks in at
# most 0.1 s; each time is also shown as a ratio to `brindlemark --version` (the program's
# start, measured in the same run). Every PDF must pass `qpdf --check`.
# Usage: bench/print-plays.sh [BUILD_DIR]   (default: ./build)
set -euo pipefail

BUILD=${1:-build}
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time, package time) is needed" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home/Defs"
cp "$SRC/sample/Defs/LO649.def" "$WORK/home/Defs/"

# Six different numbers from 1 to 49 per play, the same wheel on every run.
make_wheel() {
    awk -v n="$1" 'BEGIN {
        srand(649);
        for (p = 0; p < n; p++) {
            split("", used); line = "";
            for (k = 0; k < 6; k++) {
                do { x = int(rand() * 49) + 1 } while (x in used);
                used[x] = 1; line = line (k ? "," : "") x;
            }
            printf "%s\r\n", line;
        }
    }' > "$2"
}

RUNS=${RUNS:-5}
fail=0
run() {  # plays output-option...
    local plays=$1; shift
    local best=999 bestkb=0 seconds kb
    for _ in $(seq "$RUNS"); do
        /usr/bin/time -f "%e %M" -o "$WORK/time" \
            "$EXE" --home "$WORK/home" print --definition LO649 --wheel "$WORK/w$plays.txt" "$@" \
            >"$WORK/stdout" 2>"$WORK/stderr" || { cat "$WORK/stderr" >&2; exit 1; }
        read -r seconds kb < "$WORK/time"
        if [ "$(echo "$seconds < $best" | bc -l)" = 1 ]; then best=$seconds; fi
        (( kb > bestkb )) && bestkb=$kb
    done
    LAST_S=$best LAST_KB=$bestkb
    printf "%-8s %8d plays  %6.2f s  %7.1f MB peak  %5.1fx --version" "$OUTPUT" "$plays" "$best" \
        "$(awk -v k="$bestkb" 'BEGIN { print k / 1024 }')" "$(echo "$best / $START" | bc -l)"
}
verdict() {  # condition text
    if [ "$(echo "$1" | bc -l)" = 1 ]; then printf "  ok"; else printf "  MISSED (%s)" "$2"; fail=1; fi
}

# The program's start, the least of 20 runs (GNU time shows hundredths: at least 0.01 s).
START=1
for _ in $(seq 20); do
    /usr/bin/time -f "%e" -o "$WORK/time" "$EXE" --version >/dev/null
    s=$(cat "$WORK/time")
    if [ "$(echo "$s < $START" | bc -l)" = 1 ]; then START=$s; fi
done
if [ "$(echo "$START < 0.01" | bc -l)" = 1 ]; then START=0.01; fi

printf "%-8s %14s  %8s  %15s\n" output wheel time memory
for plays in 10000 100000; do
    make_wheel "$plays" "$WORK/w$plays.txt"
done
for plays in 10000 100000; do
    OUTPUT=--marks run "$plays" --marks
    printf "  (%d lines)" "$(wc -l < "$WORK/stdout")"
    [ "$plays" = 100000 ] && verdict "$LAST_S <= 0.1" "target 0.1 s"
    echo
    OUTPUT=--pdf run "$plays" --pdf "$WORK/out.pdf"
    printf "  (%d pages, %d KB)" "$(pdfinfo "$WORK/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')" \
        "$(( $(stat -c %s "$WORK/out.pdf") / 1024 ))"
    [ "$plays" = 100000 ] && verdict "$LAST_S <= 0.3 && $LAST_KB <= 8192" "target 0.3 s, 8 MB"
    echo
    qpdf --check "$WORK/out.pdf" >/dev/null || { echo "qpdf --check refused the PDF" >&2; fail=1; }
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
