#!/usr/bin/env bash
# Ctrl-C (SIGINT) and SIGTERM at moments spread over a long
# `lorvant-calc run`: before the scan, in the scan with its special table,
# while AntStrSu.txt is written, and near the end. For each stop it prints
# the phase the folder showed at that moment, the time from the signal to
# the end of the process, and the exit status; it checks that the earlier
# files stayed and no temporary is left.
#
# Usage: ctrl_c_phases.sh [TOOL] [ROUNDS] [RUN OPTIONS...]
#   defaults: lorvant-calc beside this script, 3 rounds, and a 3 km wire
#   with the special table (--halfwaves 300 --special-table).
# Exits 1 when a stop took longer than 100 ms, ended with another status
# than 1, or touched the earlier files.
set -euo pipefail
tool="${1:-$(dirname "$0")/lorvant-calc}"
rounds="${2:-3}"
shift $(( $# > 2 ? 2 : $# ))
design=("$@")
((${#design[@]})) || design=(--halfwaves 300 --special-table)
args=(run --band 3.5 --band 7 --band 14 --band 21 --band 28 --decimal-separator , --allow-large --date "01.01.2027 10:00:00"
  "${design[@]}")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder"
for f in AntStrSu.txt AntSpezi.txt AntKurve.BMP; do echo "earlier $f" > "$work/folder/$f"; done
cp -r "$work/folder" "$work/earlier"

now_us() { echo $(( $(date +%s%N) / 1000 )); }

start=$(now_us)
"$tool" "${args[@]}" --out "$work/time" >/dev/null
span_us=$(( $(now_us) - start ))
echo "undisturbed run: $(( span_us / 1000 )) ms"

# What the folder shows: the report is staged empty before the scan and
# filled only after it.
phase() {
  local report special
  report=$(find "$work/folder" -maxdepth 1 -name '.AntStrSu.txt.lorvant-*' -printf '%s\n' | head -1)
  special=$(find "$work/folder" -maxdepth 1 -name '.AntSpezi.txt.lorvant-*' -printf '%s\n' | head -1)
  if [[ -z "$report" ]]; then echo "before-files"
  elif ((report > 0)); then echo "report"
  elif [[ -n "$special" ]]; then echo "scan+table"
  else echo "scan"
  fi
}

worst=0 bad=0 count=0
for ((r = 0; r < rounds; r++)); do
  for percent in 1 10 30 50 70 85 90 95 98; do
    for sig in INT TERM; do
      "$tool" "${args[@]}" --out "$work/folder" >/dev/null 2>"$work/err" &
      pid=$!
      sleep "$(printf '%d.%06d' $(( span_us * percent / 100 / 1000000 )) $(( span_us * percent / 100 % 1000000 )))"
      seen=$(phase)
      t0=$(now_us)
      kill -"$sig" "$pid" 2>/dev/null || true
      status=0
      wait "$pid" || status=$?
      took=$(( $(now_us) - t0 ))
      count=$((count + 1))
      ok="ok"
      same=1
      diff -r -x .lorvant.lock "$work/folder" "$work/earlier" >/dev/null || same=0
      new=1
      for f in AntStrSu.txt AntSpezi.txt AntKurve.BMP; do
        cmp -s "$work/folder/$f" "$work/time/$f" || new=0
      done
      left=$(find "$work/folder" -maxdepth 1 -name '.*.lorvant-*' | wc -l)
      if ((status == 1)); then
        if ((!same)); then ok="earlier files changed"; bad=$((bad + 1))
        elif ((took > 100000)); then ok="slow"; bad=$((bad + 1))
        fi
      elif ((new && left == 0)); then
        # The renames were done when the signal came: the run had completed.
        ok="completed before the signal"
      else
        ok="status $status, ${left} temporaries"; bad=$((bad + 1))
      fi
      rm -rf "$work/folder"
      cp -r "$work/earlier" "$work/folder"
      ((status != 1 || took <= worst)) || worst=$took
      printf '%3d%%  SIG%-4s %-12s %6d us  exit %d  %s\n' "$percent" "$sig" "$seen" "$took" "$status" "$ok"
    done
  done
done
echo "stops: ${count}; slowest stop with exit 1: ${worst} us; failures: ${bad}"
((bad == 0))
