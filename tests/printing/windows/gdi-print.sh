#!/usr/bin/env bash
# Two jobs printed by a Windows program under Wine through GDI and Wine's spooler to a private
# cupsd whose virtual printer writes PDFs; every mark in them measured against where it belongs.
#
#   gdi-print.sh WINE windows_print_tests.exe SOURCE_DIR
#
# Exits 77 (skipped) when no cupsd can be started here, as the other printing tests do.
set -euo pipefail
wine=$1 exe=$2 src=$3
root=$(mktemp -d)
started=""
cleanup() {
  [ -n "$started" ] && bash "$src/scripts/private-cups.sh" stop "$root" >/dev/null 2>&1 || true
  rm -rf "$root"
}
trap cleanup EXIT

set +e
info=$(bash "$src/scripts/private-cups.sh" start "$root")
rc=$?
set -e
if [ $rc -eq 3 ]; then
  echo "skipped: no private cupsd here" >&2
  exit 77
fi
[ $rc -eq 0 ] || exit $rc
started=1
eval "$(printf '%s\n' "$info" | grep -E '^(CUPS_SERVER|PID|OUT|QUEUE)=')"
export CUPS_SERVER

BM_GDI_PRINTER="$QUEUE" BM_GDI_EXPECTED="Z:$root/expected" \
  "$wine" "$exe" --gtest_also_run_disabled_tests --gtest_filter=GdiPrint.DISABLED_PrintsJobsForTheMeasuringScript

# Until both PDFs are whole, or the queue holds no job any more while one is missing.
pdfs=()
for ((round = 0; round < 3000; round++)); do
  mapfile -t pdfs < <(ls -tr "$OUT"/*.pdf 2>/dev/null || true)
  whole=0
  for f in "${pdfs[@]}"; do pdfinfo "$f" >/dev/null 2>&1 && whole=$((whole + 1)); done
  [ "$whole" -ge 2 ] && break
  kill -0 "$PID" 2>/dev/null || { echo "cupsd ended" >&2; exit 1; }
  if [ -z "$(lpstat -o 2>/dev/null)" ] && [ "$round" -gt 20 ] && [ "$whole" -lt 2 ]; then
    # The queue is empty: a job that has not written its PDF by now failed.
    mapfile -t pdfs < <(ls -tr "$OUT"/*.pdf 2>/dev/null || true)
    [ "${#pdfs[@]}" -ge 2 ] || { echo "the printer wrote ${#pdfs[@]} PDFs for 2 jobs" >&2; exit 1; }
  fi
  sleep 0.1
done
[ "${#pdfs[@]}" -eq 2 ] || { echo "the printer wrote ${#pdfs[@]} PDFs for 2 jobs" >&2; exit 1; }

for n in 1 2; do
  python3 "$src/tests/printing/windows/measure-marks.py" "${pdfs[$((n - 1))]}" "$root/expected.$n"
done
