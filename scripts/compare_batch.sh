#!/usr/bin/env bash
# Runs the batch cases (scripts/batch_cases.sh) with two builds' binaries and
# compares what they recorded byte for byte.
#
#   scripts/compare_batch.sh BEFORE_BINDIR AFTER_BINDIR
#
# Prints "N cases, all identical" and exits 0, or names the differing cases
# (with the diff) and exits 1. Sanitizer builds: run with
# ASAN_OPTIONS=detect_leaks=0 (it is passed on to every case).
set -u
if [ $# -ne 2 ]; then
  echo "usage: $0 BEFORE_BINDIR AFTER_BINDIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d "${TMPDIR:-/tmp}/compare_batch.XXXXXX") || exit 2
trap 'rm -rf "$out"' EXIT

"$here/batch_cases.sh" "$1" "$out/before" > /dev/null || exit 2
"$here/batch_cases.sh" "$2" "$out/after" > /dev/null || exit 2

n=$(ls "$out/before" | wc -l)
differing=()
for c in $(ls "$out/before" "$out/after" | grep -v ':$' | grep . | LC_ALL=C sort -u); do
  diff -r "$out/before/$c" "$out/after/$c" > /dev/null 2>&1 || differing+=("$c")
done
if [ ${#differing[@]} -eq 0 ]; then
  echo "$n cases, all identical"
  exit 0
fi
echo "$n cases, ${#differing[@]} differ: ${differing[*]}"
for c in "${differing[@]}"; do
  echo "=== $c"
  diff -r "$out/before/$c" "$out/after/$c"
done
exit 1
