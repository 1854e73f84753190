#!/bin/sh
# Builds the Debian package of this build tree into a folder of its own.
# Usage: build_package.sh CPACK_CONFIG OUT_DIR
set -u
config=$1 out=$2
# Nothing of an earlier run may stand in for this one's package.
rm -rf "$out"
for tool in cpack dpkg-deb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed; no package is built"
    exit 77
  fi
done
mkdir -p "$out"
cpack -G DEB --config "$config" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"
  exit 1
}
ls "$out"/*.deb
