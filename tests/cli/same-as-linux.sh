#!/usr/bin/env bash
# brindlemark.exe under Wine against the Linux program, case by case: the same arguments on the
# same files give the same exit status, the same bytes on standard output and standard error, and
# the same files written, byte for byte. Paths are given as on Linux ("/tmp/..."), which Wine
# reads as the same folders on its drive Z:. Only the seconds a run took may differ.
#
#   same-as-linux.sh WINE brindlemark.exe LINUX_PROGRAM SOURCE_DIR
#   ONLY=REGEX same-as-linux.sh ...     only the cases whose names match
set -euo pipefail
wine=$1 exe=$2 linux=$3 src=$4
if [ ! -x "$linux" ]; then
  echo "no Linux program to compare with at $linux" >&2
  exit 77
fi
exe=$(realpath "$exe") linux=$(realpath "$linux")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
lab="$tmp/lab"
export LC_ALL=C.UTF-8 HOME="$tmp/user" XDG_DATA_HOME="$tmp/user/data" XDG_CONFIG_HOME="$tmp/user/config"
unset LANGUAGE LANG CUPS_SERVER PRINTER
mkdir -p "$HOME"
cases=0 fails=0

# What the next case's standard output goes to, when not a file to compare.
stdout=""

# The lab: a program folder from the sample (Defs, wheel, empty Settings and Summary) and an
# output folder, made anew for each run, then what the case's setup adds.
setup=""
fresh() {
  rm -rf "$lab"
  mkdir -p "$lab/home/Settings" "$lab/home/Summary" "$lab/out"
  cp -r "$src/sample/Defs" "$src/sample/wheel" "$lab/home/"
  if [ -n "$setup" ]; then eval "$setup"; fi
}
put() {  # put RELATIVE BYTES (printf's escapes)
  mkdir -p "$(dirname "$lab/$1")"
  printf "$2" > "$lab/$1"
}

# One run of a program in a fresh lab, from the output folder: status, stdout, stderr and what
# the lab holds afterwards, into $tmp/$1.*.
run() {
  local side=$1
  shift
  fresh
  set +e
  : > "$tmp/$side.out"
  (cd "$lab/out" && "$@" < /dev/null > "${stdout:-$tmp/$side.out}" 2> "$tmp/$side.err")
  echo $? > "$tmp/$side.status"
  set -e
  # How long a run took is the one thing that may differ.
  sed -i -E 's/[0-9][0-9,]*(\.[0-9]+)? ([Ss]econds?|s\b)/N \2/g' "$tmp/$side.err"
  (cd "$lab" && find . -type f -exec md5sum {} + | sort -k 2; find . -type d | sort) > "$tmp/$side.files"
}

# c NAME ARGS...: "@" in an argument stands for the lab's folder.
c() {
  local name=$1
  shift
  if [[ -n "${ONLY:-}" && ! "$name" =~ $ONLY ]]; then
    setup="" stdout=""
    return
  fi
  local args=() a
  for a in "$@"; do args+=("${a//@/$lab}"); done
  cases=$((cases + 1))
  run linux "$linux" "${args[@]}"
  run windows "$wine" "$exe" "${args[@]}"
  local what=""
  cmp -s "$tmp/linux.status" "$tmp/windows.status" ||
    what+=" status $(cat "$tmp/linux.status") on Linux, $(cat "$tmp/windows.status") on Windows;"
  local part
  for part in out err files; do
    if ! cmp -s "$tmp/linux.$part" "$tmp/windows.$part"; then
      what+=" $part differs:"$'\n'"$(diff <(od -c "$tmp/linux.$part") <(od -c "$tmp/windows.$part") | head -20 || true)"$'\n'
    fi
  done
  if [ -n "$what" ]; then
    fails=$((fails + 1))
    echo "FAILED: $name:$what" >&2
  fi
  setup="" stdout=""
}

H="--home=@/home"
P=(print --definition LO649 --wheel LO649-sample.txt)
D=(check --definition LO649 --wheel LO649-sample.txt --draws @/home/wheel/d.csv --save @/out/h.csv)
W=(check --definition LO649 --wheel LO649-sample.txt --draw "3 11 19 27 35 43 7")

# Help, version and usage.
c "help" --help
c "version" --version
for command in print test-pattern check wheel calibrate; do
  c "$command --help" "$command" --help
done
c "no such command" $H frobnicate
c "home without a folder" --home

# Printing: the sample to a PDF (with outlines), some slips, the marks, the test pattern.
c "print --pdf" $H "${P[@]}" --pdf @/out/sample.pdf
c "print --pdf, a name in the working folder" $H "${P[@]}" --pdf sample.pdf
c "print --pdf --outline --slips" $H "${P[@]}" --pdf @/out/sample.pdf --outline --slips 2-
c "print --marks with offsets" $H "${P[@]}" --marks --top 1.5 --left=-2 --scale 1.01,0.99
c "print --marks on Letter" $H "${P[@]}" --marks --paper Letter
c "print a vertical slip" $H print --definition VT645 --wheel VT645-sample.txt --marks
c "print a second pool" $H print --definition PW569 --wheel PW569-sample.txt --pdf @/out/pw.pdf
c "print two pools" $H print --definition EM550 --wheel EM550-sample.txt --marks
c "test pattern" $H test-pattern --definition LO649 --pdf=@/out/pattern.pdf
c "test pattern, marks" $H test-pattern --definition PB569 --marks
c "calibrate" $H calibrate --definition LO649 --marks

# Checking one draw, the report saved.
c "check a draw" $H "${W[@]}" --save @/out/s.txt
c "check a draw, commas and tabs" $H check --definition LO649 --wheel LO649-sample.txt --draw " 3, 11 ,19"$'\t'"27 35,,43 7 "
c "check a two-pool draw" $H check --definition EM550 --wheel EM550-sample.txt --draw "3 11 19 27 35 2 7" --save @/out/s.txt
c "check a powerball draw" $H check --definition PW569 --wheel PW569-sample.txt --draw "3 11 19 27 35 20"

# Histories: the formats of draws files a lottery or a data site gives.
setup='put home/wheel/d.csv "Date,Numbers\r\n2020-01-01,3,11,19,27,35,43,7\r\n2020-01-04,1,2,3,4,5,6,7\r\n"'
c "draws: date and numbers" $H "${D[@]}"
setup='put home/wheel/d.csv "Draw Date,Winning Numbers,Bonus,Division 1,Division 2,Division 3,Division 4,Division 5\r\n14/01/2020,1 2 3 4 5 6,7,\"\$5,000,000.00\",\"\$50,000.00\",\"\$1,000.50\",\$80,\$10\r\n07/01/2020,1 2 3 10 11 13,44,\$0.00,,\"\$2,000.00\",\$90,\$10\r\n"'
c "draws: prizes by division" $H "${D[@]}"
setup='put home/wheel/d.csv "Draw Date,Winning Numbers,Bonus,Division 1,Division 2,Division 3,Division 4,Division 5\r\n14/01/2020,1 2 3 4 5 6,7,\"\$5,000,000.00\",\"\$50,000.00\",\"\$1,000.50\",\$80,\$10\r\n07/01/2020,1 2 3 10 11 13,44,\$0.00,,\"\$2,000.00\",\$90,\$10\r\n"'
c "draws: a range of days" $H "${D[@]}" --from 2020-01-01 --to 2020-01-10
setup='put home/wheel/d.csv "Draw Number,Draw Date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball\n7,Jan 4 2020,3,11,19,27,35,43,7\n8,January 8 2020,1,2,3,4,5,6,7\n"'
c "draws: balls in columns, month names" $H "${D[@]}"
setup='put home/wheel/d.csv "01/02/2020,3,11,19,27,35,43,7\r\n01/03/2020,1,2,3,4,5,6,9\r\n"'
c "draws: a date order given" $H "${D[@]}" --date-order MDY
setup='put home/wheel/d.csv "20200101;3;11;19;27;35;43;7\n20200104;1;2;3;4;5;6;0\n20200108;1;2;3;4;5;6;7\n"'
c "draws: lines that are no draws skipped" $H "${D[@]}" --skip-invalid-draws
setup='put home/wheel/d.csv "Date,Numbers\r\n2020-01-04,3,11,19,27,35,43,7\r\n2020-01-01,1,2,3,4,5,6,7\r\n2020-01-04,3,11,19,27,35,43,7\r\n"'
c "draws: out of order, repeated" $H "${D[@]}"
setup='put home/wheel/d.csv "\xEF\xBB\xBF# list\r\nDate,Numbers\r\n\r\n2020-01-01,3 11 19 27 35 43 7\r\n"'
c "draws: a mark, a comment and a blank line" $H "${D[@]}"
setup='put home/d.csv "Draw Date,Winning Numbers,Multiplier\n09/26/2020,\"11 21 27 36 62 20\",3\n09/30/2020,\"1 2 3 4 5 6\",2\n"'
c "draws: powerball, quoted numbers" $H check --definition PB569 --wheel PB569-sample.txt --draws @/home/d.csv
setup='put home/d.csv "Date,N1,N2,N3,N4,N5,S1,S2\r\n2024-01-02,1,2,3,4,5,1,2\r\n2024-01-05,10,20,30,40,50,11,12\r\n"'
c "draws: two pools" $H check --definition EM550 --wheel EM550-sample.txt --draws @/home/d.csv --save @/out/h.csv

# Wheels: apply, analyze, make, the library.
setup='put home/design.txt "# a design\n1 2 3 4 5 6\n{1,2,3,4,5,7}\n1, 2, 3, 4, 6, 7\n"'
c "wheel apply" $H wheel apply --design @/home/design.txt --numbers "40, 9 17 5"$'\t'"1 33 21"
setup='put home/design.txt "1 2 3 4 5 6\n1 2 3 4 5 7\n"'
c "wheel apply into a file" $H wheel apply --design=@/home/design.txt --numbers "1 2 3 4 5 6 7" --definition LO649 --out @/home/wheel/mine.txt
setup='put home/design.txt "1 2 3 4 5\n1 2 3 4 6\n1 2 3 5 6\n"'
c "wheel apply, second numbers in turn" $H wheel apply --design @/home/design.txt --numbers "10 20 30 40 50 7" --definition EM550 --second "12 1 5"
setup='put home/design.txt "1 2 3 4 5\n1 2 3 4 6\n1 2 3 5 6\n"'
c "wheel apply, every second number" $H wheel apply --design @/home/design.txt --numbers "1 2 3 4 5 6" --definition PW569 --second-all "26 3" --out @/out/pw.txt
c "wheel analyze" $H wheel analyze --definition LO649 --wheel LO649-sample.txt
c "wheel analyze two pools" $H wheel analyze --definition EM550 --wheel EM550-sample.txt
c "wheel make, seeded rounds" $H wheel make --count 10 --pick 6 --if 4 --match 3 --seed 7 --rounds 2000
c "wheel make into a file" $H wheel make --numbers "3 8 13 21 34 40 44 49" --definition LO649 --if 5 --match 4 --seed 1 --rounds 500 --out @/out/made.txt
c "wheel make, second pool" $H wheel make --count 7 --if 3 --match 3 --seed 1 --definition EM550 --second "1 2 3"
c "wheel library" $H wheel library
c "wheel library, extra word" $H wheel library --all

# Bad input: each refused with its message and status, nothing written.
setup='put home/Defs/BD649.def "49\r\n6\r\n"'
c "short definition" $H test-pattern --definition BD649 --marks
setup='put home/Settings/LO649.ini "\"1.5\"\r\n"'
c "settings with one offset" $H test-pattern --definition LO649 --marks
c "offset not a number" $H test-pattern --definition LO649 --top abc --marks
setup='put home/wheel/bad.txt "1,2,3,4,5,6\r\n1,2,3,4,5,six\r\n"'
c "wheel line not a number" $H print --definition LO649 --wheel bad.txt --marks
c "wheel not found" $H "${W[@]/LO649-sample.txt/none.txt}"
c "draw too short" $H check --definition LO649 --wheel LO649-sample.txt --draw "3 11 19 27 35 43"
c "number drawn twice" $H check --definition LO649 --wheel LO649-sample.txt --draw "3 11 19 27 11 43 7"
setup='put home/wheel/d.csv "Date,Numbers\r\n2020-01-01,3,11,19,27,35,43,7\r\n2020-01-04,3,11,19,27,35,50,7\r\n"'
c "draws: number beyond the pool" $H "${D[@]}"
setup='put home/wheel/d.csv "01/02/2020,3,11,19,27,35,43,7\r\n"'
c "draws: dates that do not tell" $H "${D[@]}"
c "draws: date order" $H "${D[@]}" --date-order YMD
c "draws: no such day" $H "${D[@]}" --from 2020-02-30
c "draw and draws" $H "${W[@]}" --draws d.csv
c "summary into no folder" $H "${W[@]}" --save @/out/no/s.txt
c "summary onto the wheel" $H "${W[@]}" --save @/home/wheel/LO649-sample.txt
c "summary into Defs" $H "${W[@]}" --save @/home/Defs/s.txt
c "PDF onto the wheel" $H "${P[@]}" --pdf @/home/wheel/LO649-sample.txt
c "PDF into Settings" $H test-pattern --definition LO649 --pdf=@/home/Settings/x.pdf
c "definition given twice" $H "${P[@]}" --definition PB569 --marks
c "home given twice" $H --home /tmp test-pattern --definition LO649 --marks
setup='put home/wheel/w16.txt "1\0,\0002\0"'
c "UTF-16 wheel" $H print --definition LO649 --wheel w16.txt --marks
c "slips beyond the job" $H "${P[@]}" --slips 2-3 --marks
c "outline without a PDF" $H "${P[@]}" --outline --marks
c "definition name in lower case" $H test-pattern --definition lo649 --marks
c "unknown option" $H "${P[@]}" --copies 2
setup='put "home/wheel/koło ł.txt" "1,2,3,4,5,6\r\n1,2,3,4,5,66\r\n"'
c "wheel named beyond ASCII" $H print --definition LO649 --wheel "koło ł.txt" --marks
setup='put "home/Łódź/koło.txt" "1,2,3,4,5,6\r\n"'
c "folder named beyond ASCII" $H print --definition LO649 --wheel "@/home/Łódź/koło.txt" --pdf "@/home/Łódź/wynik.pdf"
c "home given relative" --home ../home print --definition LO649 --wheel nothere.txt --marks
setup='mkdir -p "$lab/out/folder.pdf"'
c "PDF onto a folder" $H "${P[@]}" --pdf @/out/folder.pdf
setup='mkdir -p "$lab/home/wheel/dir.txt"'
c "wheel that is a folder" $H print --definition LO649 --wheel dir.txt --marks
c "definition given as a file" $H test-pattern --definition @/home/Defs/PB569.def --paper 82x190 --marks
stdout=/dev/full
c "report onto a full disk" $H "${W[@]}"
c "wheel make, impossible" $H wheel make --count 5 --pick 6 --if 3 --match 3
c "wheel apply, too many numbers" $H wheel apply --design @/home/none.txt --numbers "1 2 3"

echo "$((cases - fails)) passed, $fails failed"
[ "$fails" = 0 ]
