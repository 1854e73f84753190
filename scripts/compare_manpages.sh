#!/usr/bin/env bash
# Compares the manual pages as a reader sees them: each page rendered by groff
# (the man macros, UTF-8 terminal output, overstrikes removed by col -bx) in
# BEFORE_DIR against the same page in AFTER_DIR.
#
#   scripts/compare_manpages.sh BEFORE_DIR AFTER_DIR
#
# e.g. scripts/compare_manpages.sh /tmp/before build-dev/docs
# Without groff the roff sources are compared byte for byte instead.
# Exit status 0 when every page is the same.
set -u
if [ $# -ne 2 ]; then
  echo "usage: $0 BEFORE_DIR AFTER_DIR" >&2
  exit 2
fi
# A fixed line length and locale, so the rendering depends on the page alone.
export LC_ALL=C.UTF-8 MANWIDTH=80
status=0
for page in lorvant.1 lorvant-calc.1; do
  before="$1/$page" after="$2/$page"
  for f in "$before" "$after"; do
    [ -f "$f" ] || { echo "$page: missing $f"; status=1; continue 2; }
  done
  if command -v groff > /dev/null; then
    if diff <(groff -man -Tutf8 -rLL=80n "$before" 2>&1 | col -bx) \
            <(groff -man -Tutf8 -rLL=80n "$after" 2>&1 | col -bx); then
      echo "$page: rendered the same"
    else
      status=1
    fi
  else
    echo "$page: groff missing, comparing the roff source"
    cmp "$before" "$after" && echo "$page: source the same" || status=1
  fi
done
exit $status
