#!/bin/sh
# The manual pages made at build time name every command and every option
# that the programs' --help texts name, and groff reads them without a
# warning.
# Usage: check_man_pages.sh DOCS_BUILD_DIR LORVANT LORVANT_CALC
set -u
docs=$1 lorvant=$2 calc=$3
failed=0

# The option names of a help text, one a line.
options_of() { sed -n 's/^  \(--[a-z0-9-]*\).*/\1/p'; }
# How the page writes an option: every "-" as "\-".
in_page() { sed 's/-/\\-/g'; }

check() {  # check PAGE HELPTEXT
  for option in $(printf '%s\n' "$2" | options_of); do
    pattern=$(printf '%s' "$option" | in_page)
    if ! gzip -dc "$1" | grep -qF -- "\\fB$pattern\\fR"; then
      echo "$(basename "$1"): $option is missing"
      failed=1
    fi
  done
}

for page in "$docs/lorvant.1.gz" "$docs/lorvant-calc.1.gz"; do
  gzip -t "$page" || { echo "$page: not a gzip file"; failed=1; }
done
check "$docs/lorvant.1.gz" "$("$lorvant" --help)"
check "$docs/lorvant-calc.1.gz" "$("$calc" --help)"
commands=$("$calc" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]*\) .*/\1/p')
[ -n "$commands" ] || { echo "no commands in lorvant-calc --help"; failed=1; }
for command in $commands; do
  gzip -dc "$docs/lorvant-calc.1.gz" | grep -qx ".SS $command" || { echo "lorvant-calc.1: no section for $command"; failed=1; }
  check "$docs/lorvant-calc.1.gz" "$("$calc" "$command" --help)"
done

if command -v man >/dev/null 2>&1; then
  for page in "$docs/lorvant.1.gz" "$docs/lorvant-calc.1.gz"; do
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$(basename "$page"): $warnings"; failed=1; }
  done
else
  echo "man is not installed: the pages were not rendered"
fi
[ "$failed" -eq 0 ] && echo "manual pages name every command and option"
exit "$failed"
