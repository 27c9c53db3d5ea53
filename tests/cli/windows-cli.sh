#!/usr/bin/env bash
# brindlemark.exe under Wine as a user runs it: installed beside its sample folder, so the first
# start makes %APPDATA%\Brindlemark; printing the sample to a PDF; a wheel in a folder named in
# letters beyond ASCII; a report on standard output ends its lines in LF; bad input and a device
# as the output are refused with status 2 and nothing written.
#
#   windows-cli.sh WINE brindlemark.exe SOURCE_DIR
set -euo pipefail
wine=$1 exe=$2 src=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0
fail() { echo "FAILED: $*" >&2; fails=$((fails + 1)); }

# Installed: the program with the sample folder beside it, as the zip and the installer lay it out.
app="$tmp/app"
mkdir -p "$app"
cp "$exe" "$app/brindlemark.exe"
cp -r "$src/sample" "$app/sample"
user=$("$wine" cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
appdata="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Brindlemark"
rm -rf "$appdata"
run() {  # status, stdout and stderr of one run, in files
  set +e
  "$wine" "$app/brindlemark.exe" "$@" > "$tmp/out" 2> "$tmp/err"
  echo $? > "$tmp/status"
  set -e
}

# 1. The sample printed to a PDF: the first start seeds the user's folder.
run print --definition LO649 --wheel LO649-sample.txt --pdf "Z:$tmp/LO649.pdf"
[ "$(cat "$tmp/status")" = 0 ] || fail "print: status $(cat "$tmp/status"): $(cat "$tmp/err")"
# The job's words go to standard error, as on Linux, each line ending in LF alone.
printf 'Printing 12 Picks On 2 Playslips\nProcessing Complete\nSaved To Z:%s/LO649.pdf\n' "$tmp" > "$tmp/want"
cmp -s "$tmp/err" "$tmp/want" || fail "print said: $(od -c "$tmp/err" | head -8)"
[ ! -s "$tmp/out" ] || fail "print wrote on standard output: $(cat "$tmp/out")"
head -c 5 "$tmp/LO649.pdf" | grep -q '%PDF-' || fail "no PDF written"
[ -f "$appdata/Defs/LO649.def" ] && [ -d "$appdata/Summary" ] || fail "no program folder made in $appdata"

# 2. A wheel in a folder named in other letters, the PDF beside it.
folder="$tmp/Łódź Fällt Ωμέγα"
mkdir -p "$folder"
cp "$src/sample/wheel/LO649-sample.txt" "$folder/koło 6.txt"
run print --definition LO649 --wheel "Z:$folder/koło 6.txt" --pdf "Z:$folder/wynik ł.pdf"
[ "$(cat "$tmp/status")" = 0 ] || fail "non-ASCII folder: status $(cat "$tmp/status"): $(cat "$tmp/err")"
[ -f "$folder/wynik ł.pdf" ] || fail "non-ASCII folder: no 'wynik ł.pdf' in $(ls "$folder")"

# 3. A report on standard output: one line per mark, LF only.
run print --definition LO649 --wheel LO649-sample.txt --marks
[ "$(cat "$tmp/status")" = 0 ] || fail "--marks: status $(cat "$tmp/status"): $(cat "$tmp/err")"
lines=$(grep -c '' "$tmp/out" || true)
[ "$lines" -gt 50 ] || fail "--marks wrote $lines lines"
if grep -q $'\r' "$tmp/out"; then fail "--marks wrote CR"; fi
grep -qE '^1 [0-9.]+ [0-9.]+ [0-9.]+ [0-9.]+$' "$tmp/out" || fail "--marks: $(head -2 "$tmp/out")"

# 4. A bad line of a wheel is named with its file and line; nothing is written.
printf '1,2,3,4,5,6\r\n1,2,3,4,5,x\r\n' > "$tmp/bad.txt"
run print --definition LO649 --wheel "Z:$tmp/bad.txt" --pdf "Z:$tmp/bad.pdf"
[ "$(cat "$tmp/status")" = 2 ] || fail "bad wheel: status $(cat "$tmp/status")"
grep -q 'bad.txt' "$tmp/err" && grep -q 'line 2' "$tmp/err" || fail "bad wheel said: $(cat "$tmp/err")"
[ ! -e "$tmp/bad.pdf" ] || fail "bad wheel: a PDF was written"

# 5. A device is never an output.
for device in NUL "Z:$tmp/con.pdf" COM1; do
  run print --definition LO649 --wheel LO649-sample.txt --pdf "$device"
  [ "$(cat "$tmp/status")" = 2 ] || fail "--pdf $device: status $(cat "$tmp/status")"
  grep -q 'not a regular file' "$tmp/err" || fail "--pdf $device said: $(cat "$tmp/err")"
done

rm -rf "$appdata"
[ "$fails" = 0 ] || { echo "$fails failed" >&2; exit 1; }
echo "every command ran as on Linux"
