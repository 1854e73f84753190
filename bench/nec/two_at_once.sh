#!/usr/bin/env bash
# Starts two `lorvant-calc nec` into one results folder at the same moment,
# round after round, with two feed points, and checks after each round that
# Lorvant.nec and NecCheck.txt come from one and the same check. The second
# check finds the folder locked and ends with status 1; nec2c must be
# installed (apt install nec2c).
#
# Usage: two_at_once.sh [TOOL] [ROUNDS]   (defaults: lorvant-calc beside this
# script, 30). Exits 1 on a mixed pair.
set -euo pipefail
tool="${1:-$(dirname "$0")/lorvant-calc}"
rounds="${2:-30}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder" "$work/tmp"
export TMPDIR="$work/tmp"

args=(nec --out "$work/folder" --frequency 7.1 --halfwaves 1 --band 7 --band 14 --band 21 --band 28
      --decimal-separator . --language en)

# The feed point of each file (deck "8.5", report "8.50"), to the centimetre.
deck_feed() { printf '%.2f' "$(sed -n 's/.*fed at \([0-9.]*\) m.*/\1/p' "$work/folder/Lorvant.nec")"; }
report_feed() { printf '%.2f' "$(sed -n 's/^Feed point: \([0-9.]*\) m.*/\1/p' "$work/folder/NecCheck.txt" | tr -d '\r')"; }

mixed=0 both=0 one=0 none=0 busy=0
for ((i = 0; i < rounds; i++)); do
  "$tool" "${args[@]}" --feed 6.5 >/dev/null 2>"$work/a.err" & a=$!
  "$tool" "${args[@]}" --feed 8.5 >/dev/null 2>"$work/b.err" & b=$!
  sa=0 sb=0
  wait "$a" || sa=$?
  wait "$b" || sb=$?
  ok=$(( (sa == 0) + (sb == 0) ))
  case $ok in 2) both=$((both + 1)) ;; 1) one=$((one + 1)) ;; *) none=$((none + 1)) ;; esac
  busy=$((busy + $(cat "$work/a.err" "$work/b.err" | grep -c "right now" || true)))
  if [[ "$(deck_feed)" != "$(report_feed)" ]]; then
    echo "round $i: deck fed at $(deck_feed) m, report at $(report_feed) m"
    mixed=$((mixed + 1))
  fi
done
echo "rounds ${rounds}: one check completed ${one}, both ${both}, none ${none}; second found the folder busy ${busy}"
echo "mixed pairs: ${mixed}"
((mixed == 0))
