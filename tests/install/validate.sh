#!/bin/sh
# Runs a validator on one file; skips when the validator is not installed.
# Usage: validate.sh desktop-file-validate|appstreamcli FILE
set -u
tool=$1 file=$2
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
  exit 77
fi
case $tool in
  appstreamcli) out=$(appstreamcli validate --no-net --pedantic "$file" 2>&1) ;;
  *) out=$("$tool" "$file" 2>&1) ;;
esac
status=$?
echo "$out"
# A validator that complains while exiting 0 counts as a failure too.
if [ "$status" -ne 0 ]; then exit 1; fi
case $tool in
  appstreamcli) echo "$out" | grep -Eq '^(E|W|I|P): ' && exit 1 ;;
  *) [ -n "$out" ] && exit 1 ;;
esac
echo "$file: valid"
