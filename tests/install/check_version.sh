#!/bin/sh
# lorvant --version prints "lorvant VERSION" and exits 0 without a display:
# with the X11 platform forced and no display to reach, starting Qt would
# fail, so the answer must come before it.
# Usage: check_version.sh LORVANT VERSION
set -u
program=$1 version=$2
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --version 2>&1)
status=$?
if [ "$status" -ne 0 ] || [ "$out" != "lorvant $version" ]; then
  echo "lorvant --version: status $status, output:"
  echo "$out"
  exit 1
fi
help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --help 2>&1) || {
  echo "lorvant --help failed: $help"
  exit 1
}
case $help in
  "Usage: lorvant "*) ;;
  *) echo "lorvant --help: $help"; exit 1 ;;
esac
echo "lorvant --version: $out"
