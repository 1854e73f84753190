#!/bin/bash
# The bash completion of lorvant-calc, as bash calls it: commands, options
# of a command, and the values of choice, band and folder options.
# Usage: check_completion.sh COMPLETION_FILE
set -u
source "$1" || exit 1
failed=0

complete_line() {  # the completions of the last word of the line
  read -r -a COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _lorvant_calc
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect() {  # expect LINE WANTED
  local got
  got=$(complete_line "$1")
  if [[ $got != "$2" ]]; then
    echo "'$1': got '$got', wanted '$2'"
    failed=1
  fi
}

expect "lorvant-calc r" "run "
expect "lorvant-calc --v" "--version "
expect "lorvant-calc help all" "allbands "
expect "lorvant-calc run --seg" "--segment --segment-answer "
expect "lorvant-calc run --segment " "centre cw ssb "
expect "lorvant-calc run --band 1" "1.8 10 14 18 "
expect "lorvant-calc run --grey-band 2" "21 24 28 "
expect "lorvant-calc allbands --adapt " "no yes "
expect "lorvant-calc run --frequency " ""
expect "lorvant-calc impedance --current" "--current-sum "
expect "lorvant-calc bogus --" ""
expect "lorvant-calc m" "measured "
expect "lorvant-calc measured --re" "--region "
expect "lorvant-calc measured --region " "1 2 3 "

folder=$(mktemp -d)
mkdir "$folder/results"
touch "$folder/report.txt"
expect "lorvant-calc run --out $folder/re" "$folder/results "
# The file a measured sweep is read from, before or after the options.
expect "lorvant-calc measured $folder/rep" "$folder/report.txt "
expect "lorvant-calc measured --json $folder/rep" "$folder/report.txt "
rm -r "$folder"

[[ $failed -eq 0 ]] && echo "completion answers as expected"
exit "$failed"
