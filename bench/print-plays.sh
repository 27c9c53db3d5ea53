#!/usr/bin/env bash
# Times the print job from the command line on the sample 6/49 definition (LO649: 2 main panels
# of 5 across, 7 x 7) with wheels of 10,000 and 100,000 plays, to --marks and to --pdf, and
# shows the peak memory of each run (GNU time). Memory must stay roughly flat as the wheel
# grows, and the PDF of 100,000 plays must be written in at most 2 s.
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

run() {  # plays output-option...
    local plays=$1; shift
    /usr/bin/time -f "%e %M" -o "$WORK/time" \
        "$EXE" --home "$WORK/home" print --definition LO649 --wheel "$WORK/w$plays.txt" "$@" \
        >"$WORK/stdout" 2>"$WORK/stderr" || { cat "$WORK/stderr" >&2; exit 1; }
    read -r seconds kb < "$WORK/time"
    printf "%-8s %8d plays  %6.2f s  %7.1f MB peak" "$OUTPUT" "$plays" "$seconds" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')"
}

printf "%-8s %14s  %8s  %15s\n" output wheel time memory
for plays in 10000 100000; do
    make_wheel "$plays" "$WORK/w$plays.txt"
done
for plays in 10000 100000; do
    OUTPUT=--marks run "$plays" --marks
    printf "  (%d lines)\n" "$(wc -l < "$WORK/stdout")"
    OUTPUT=--pdf run "$plays" --pdf "$WORK/out.pdf"
    printf "  (%d pages, %d KB)\n" "$(pdfinfo "$WORK/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')" \
        "$(( $(stat -c %s "$WORK/out.pdf") / 1024 ))"
done
