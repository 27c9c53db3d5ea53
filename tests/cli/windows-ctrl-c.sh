#!/usr/bin/env bash
# Ctrl+C in a terminal (tmux) while brindlemark.exe writes a PDF under Wine: the job ends with
# status 1, says where it stopped and leaves neither the PDF nor its copy. A job that finishes before the key arrives
# proves nothing, so the next try is four times as long; three such tries fail the test.
#
#   windows-ctrl-c.sh WINE brindlemark.exe SOURCE_DIR
set -euo pipefail
wine=$1 exe=$2 src=$3
if ! command -v tmux >/dev/null; then
  echo "skipped: no tmux" >&2
  exit 77
fi
tmp=$(mktemp -d)
session="bm-ctrl-c-$$"
trap 'tmux kill-session -t "$session" 2>/dev/null || true; rm -rf "$tmp"' EXIT
home="$tmp/home"
mkdir -p "$home/Settings" "$home/Summary"
cp -r "$src/sample/Defs" "$src/sample/wheel" "$home/"

plays=40000
for try in 1 2 3; do
  job="$tmp/job$try"
  mkdir -p "$job"
  yes 1,2,3,4,5,6 | head -n "$plays" > "$job/big.txt" || true
  tmux new-session -d -s "$session" -x 200 -y 20 \
    "'$wine' '$exe' --home 'Z:$home' print --definition LO649 --wheel 'Z:$job/big.txt' --pdf 'Z:$job/out.pdf' 2> '$tmp/err$try'; echo \"status=\$?\" > '$job/status'; sleep 600"
  # Until the copy of the PDF is being written (the job is under way), or the run has ended.
  for ((round = 0; round < 20000; round++)); do
    ls -A "$job" | grep -q '^\.out\.pdf\..*\.tmp$' && break
    [ -e "$job/status" ] && break
    sleep 0.01
  done
  tmux send-keys -t "$session" C-c
  for ((round = 0; round < 20000; round++)); do
    [ -e "$job/status" ] && break
    sleep 0.05
  done
  tmux kill-session -t "$session" 2>/dev/null || true
  status=$(cat "$job/status" 2>/dev/null || echo "the run did not end")
  if [ "$status" = "status=0" ]; then
    echo "try $try: $plays plays were printed before Ctrl+C arrived; again with more" >&2
    plays=$((plays * 4))
    continue
  fi
  [ "$status" = "status=1" ] || { echo "FAILED: Ctrl+C: $status" >&2; exit 1; }
  left=$(ls -A "$job")
  [ "$left" = "$(printf 'big.txt\nstatus')" ] || { echo "FAILED: Ctrl+C left: $left" >&2; exit 1; }
  # What the job says, as on Linux: how far it came.
  tail -n 1 "$tmp/err$try" | grep -qE '^Print Job Aborted At Slip [0-9]+$' ||
    { echo "FAILED: Ctrl+C: the job said $(cat "$tmp/err$try")" >&2; exit 1; }
  echo "Ctrl+C ended the job with status 1 and nothing half-written (try $try, $plays plays)"
  exit 0
done
echo "FAILED: every job ended before Ctrl+C reached it" >&2
exit 1
