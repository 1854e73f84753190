#!/usr/bin/env bash
# Kills `lorvant-calc nec` at random moments with SIGKILL, SIGTERM, SIGINT
# or SIGHUP and checks after each kill that Lorvant.nec and NecCheck.txt
# are the earlier pair byte for byte (or the new pair, when the check
# completed first), that no nec2c of the killed check runs on, and at the
# end that the next check leaves no private folder behind. nec2c must be
# installed (apt install nec2c).
#
# Usage: kill_trials.sh [TOOL] [TRIALS]   (defaults: lorvant-calc beside this
# script, 30). Exits 1 on a broken pair, an engine left running or a folder
# left behind.
set -euo pipefail
tool="${1:-$(dirname "$0")/lorvant-calc}"
trials="${2:-30}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/refA" "$work/refB" "$work/folder" "$work/tmp"
export TMPDIR="$work/tmp"

args=(nec --frequency 7.1 --halfwaves 1 --band 7 --band 14 --band 21 --band 28 --points 21
      --decimal-separator . --language en)
"$tool" "${args[@]}" --out "$work/refA" --feed 6.5 --date A >/dev/null
"$tool" "${args[@]}" --out "$work/refB" --feed 8.5 --date B >/dev/null
cp "$work/refA/Lorvant.nec" "$work/refA/NecCheck.txt" "$work/folder/"

start=$(date +%s%N)
"$tool" "${args[@]}" --out "$work/time" --feed 6.5 --date A >/dev/null
span_us=$(( ($(date +%s%N) - start) / 1000 ))

# The engines still running whose files lie in this script's temporary folder.
engines() { { pgrep -f -- "-i $work/tmp/" || true; } | wc -l; }

signals=(KILL TERM INT HUP)
broken=0 completed=0 stopped=0 running=0 leaving=0
for ((i = 0; i < trials; i++)); do
  if ((i % 2)); then feed=6.5 date=A; else feed=8.5 date=B; fi
  "$tool" "${args[@]}" --out "$work/folder" --feed "$feed" --date "$date" >/dev/null 2>&1 &
  pid=$!
  delay_us=$(( (RANDOM * 32768 + RANDOM) % (span_us + 1) ))
  sleep "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))"
  signal=${signals[$(((i + 3) % 4))]}  # the last trial is a SIGKILL
  kill -s "$signal" "$pid" 2>/dev/null || true
  if wait "$pid" 2>/dev/null; then completed=$((completed + 1)); else stopped=$((stopped + 1)); fi
  sleep 0.2
  n=$(engines)
  if ((n > 0)); then echo "trial $i ($signal): $n engines left running"; running=$((running + n)); fi
  n=$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name 'lorvant-nec-*' | wc -l)
  leaving=$((leaving + (n > 0)))
  pair=""
  for ref in refA refB; do
    if cmp -s "$work/folder/Lorvant.nec" "$work/$ref/Lorvant.nec" &&
       cmp -s "$work/folder/NecCheck.txt" "$work/$ref/NecCheck.txt"; then pair=$ref; fi
  done
  if [[ -z "$pair" ]]; then echo "trial $i ($signal): the pair is broken"; broken=$((broken + 1)); fi
done
left_before=$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name 'lorvant-nec-*' | wc -l)
"$tool" "${args[@]}" --out "$work/folder" --feed 6.5 --date A >/dev/null
left=$(find "$work/tmp" -mindepth 1 -maxdepth 1 | wc -l)

echo "check time ${span_us} us; trials ${trials}: stopped ${stopped}, completed before the signal ${completed}"
echo "broken pairs: ${broken}; engines left running: ${running}"
echo "trials that left a private folder (for the next check to remove): ${leaving}; left by the last trial: ${left_before}; after the next check: ${left}"
((broken == 0 && running == 0 && left == 0))
