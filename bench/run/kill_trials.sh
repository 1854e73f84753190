#!/usr/bin/env bash
# Kills `lorvant-calc run` with SIGKILL at random moments, again and again,
# and checks after each kill that every file in the results folder is a
# whole earlier file or a whole new one, and at the end that the next
# completed run leaves no temporary file behind.
#
# Usage: kill_trials.sh [TOOL] [TRIALS]   (defaults: lorvant-calc beside this
# script, 100). Prints one line per outcome class and exits 1 on a broken file.
set -euo pipefail
tool="${1:-$(dirname "$0")/lorvant-calc}"
trials="${2:-100}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

args=(run --band 3.5 --band 7 --band 14 --band 21 --band 28 --halfwaves 20 --special-table --decimal-separator ,)
# The two possible contents of every file: runs dated A and B.
"$tool" "${args[@]}" --out "$work/refA" --date "A 01.01.2027 10:00:00" >/dev/null
"$tool" "${args[@]}" --out "$work/refB" --date "B 02.02.2027 20:00:00" >/dev/null
cp -r "$work/refA" "$work/folder"

start=$(date +%s%N)
"$tool" "${args[@]}" --out "$work/time" --date "A 01.01.2027 10:00:00" >/dev/null
span_us=$(( ($(date +%s%N) - start) / 1000 ))

broken=0 mixed=0 completed=0 killed=0 leftovers=0
for ((i = 0; i < trials; i++)); do
  if ((i % 2)); then date="A 01.01.2027 10:00:00"; else date="B 02.02.2027 20:00:00"; fi
  "$tool" "${args[@]}" --out "$work/folder" --date "$date" >/dev/null 2>&1 &
  pid=$!
  delay_us=$(( RANDOM * 32768 + RANDOM ))
  delay_us=$(( delay_us % (span_us * 12 / 10 + 1) ))
  sleep "$(printf '0.%06d' "$delay_us")"
  if kill -9 "$pid" 2>/dev/null; then :; fi
  if wait "$pid" 2>/dev/null; then completed=$((completed + 1)); else killed=$((killed + 1)); fi
  from=""
  for f in AntStrSu.txt AntSpezi.txt AntKurve.BMP; do
    if cmp -s "$work/folder/$f" "$work/refA/$f"; then from+="A"
    elif cmp -s "$work/folder/$f" "$work/refB/$f"; then from+="B"
    else echo "trial $i: $f is neither whole earlier nor whole new"; broken=$((broken + 1)); from+="?"
    fi
  done
  # The picture does not carry the date: the two reports tell the runs apart.
  [[ "${from:0:1}" == "${from:1:1}" ]] || mixed=$((mixed + 1))
  n=$(find "$work/folder" -maxdepth 1 -name '.*.lorvant-*' | wc -l)
  leftovers=$((leftovers + (n > 0)))
done
"$tool" "${args[@]}" --out "$work/folder" --date "A 01.01.2027 10:00:00" >/dev/null
left=$(find "$work/folder" -maxdepth 1 -name '.*.lorvant-*' | wc -l)

echo "run time ${span_us} us; trials ${trials}: killed ${killed}, completed before the kill ${completed}"
echo "broken files: ${broken}; sets mixed from two runs: ${mixed}; kills that left temporaries: ${leftovers}"
echo "temporaries after the next completed run: ${left}"
((broken == 0 && left == 0))
