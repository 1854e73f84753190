#!/bin/sh
# lintian on the package: no error. Warnings are printed for the reader.
# Usage: lintian.sh PACKAGE_DIR
set -u
dir=$1
if ! command -v lintian >/dev/null 2>&1; then
  echo "SKIP: lintian is not installed (scripts/setup.sh installs it)"
  exit 77
fi
set -- "$dir"/*.deb
if [ ! -f "$1" ]; then
  echo "SKIP: no package was built (see package_build)"
  exit 77
fi
out=$(lintian --no-cfg --display-info "$1" 2>&1)
echo "$out"
if echo "$out" | grep -q '^E: '; then exit 1; fi
echo "lintian: no error"
