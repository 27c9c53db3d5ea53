#!/usr/bin/env bash
# Printing again after a jam: the last slips of a 1,000,000-play wheel on the sample 6/49
# definition (100,000 slips) to --marks with --slips 99990-100000, against the whole job.
# The range must take well under the whole job's time: slips before it are read, not drawn.
# Usage: bench/print-range.sh [BUILD_DIR]   (default: ./build)
set -euo pipefail

BUILD=${1:-build}
EXE="$BUILD/bin/brindlemark"
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$EXE" ] || { echo "no program at $EXE: build first" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home/Defs"
cp "$SRC/sample/Defs/LO649.def" "$WORK/home/Defs/"
awk 'BEGIN {
    srand(649);
    for (p = 0; p < 1000000; p++) {
        split("", used); line = "";
        for (k = 0; k < 6; k++) {
            do { x = int(rand() * 49) + 1 } while (x in used);
            used[x] = 1; line = line (k ? "," : "") x;
        }
        printf "%s\r\n", line;
    }
}' > "$WORK/w.txt"

run() {  # label, extra options
    local label=$1; shift
    local start end
    start=$(date +%s.%N)
    "$EXE" --home "$WORK/home" print --definition LO649 --wheel "$WORK/w.txt" --marks "$@" > "$WORK/$label.marks" 2>/dev/null
    end=$(date +%s.%N)
    printf '%-24s %6.2f s  %s mark lines\n' "$label" "$(echo "$end - $start" | bc)" "$(wc -l < "$WORK/$label.marks")"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
run whole
run slips-99990-100000 --slips 99990-100000
# The range's lines are the whole job's lines of those sheets.
awk '$1 >= 99990' "$WORK/whole.marks" | cmp - "$WORK/slips-99990-100000.marks" && echo "range lines equal the whole job's sheets 99990 to 100000"
