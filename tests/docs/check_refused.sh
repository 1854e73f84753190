#!/bin/sh
# The renderer refuses a manual with faults, with exit status 3 and every
# fault named: check_refused.sh RENDERER CHAPTERS SHOTS OUT
# (a "*" in a fault stands for any text, such as a page number)
renderer=$1 chapters=$2 shots=$3 out=$4
messages=$("$renderer" --out "$out" --dir "$chapters" --title Faults --version 0 --images "$shots" 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 3 ]; then
  echo "exit status $status, not 3"
  printf '%s\n' "$messages"
  exit 1
fi
failed=0
for fault in \
  "start.png+start.png (page *): not on one page with its caption" \
  "menu.png: no caption" \
  "never-taken.png: picture missing" \
  "sections without body text: 1.2 A section with a table only"; do
  case $messages in
    *$fault*) ;;
    *) echo "not named: $fault"; failed=1 ;;
  esac
done
case $messages in
  *"vk.png"* | *"1 Faults the renderer refuses,"* | *"1.1 Two pictures"* | *"1.3 A picture"*)
    echo "a sound figure or section was named"; failed=1 ;;
esac
[ "$failed" -eq 0 ] || printf '%s\n' "$messages"
exit "$failed"
