#!/bin/sh
# The package's name, control fields and contents.
# Usage: check_package.sh PACKAGE_DIR VERSION APP_ID
set -u
dir=$1 version=$2 id=$3
if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "SKIP: dpkg-deb is not installed"
  exit 77
fi
arch=$(dpkg --print-architecture)
deb=$dir/lorvant_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  if [ ! -f "$dir/cpack.log" ]; then
    echo "SKIP: no package was built (see package_build)"
    exit 77
  fi
  echo "no $deb:"
  ls "$dir"
  exit 1
fi
failed=0
fail() { echo "$*"; failed=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lorvant ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = hamradio ] || fail "Section: $(field Section)"
[ "$(field Recommends)" = nec2c ] || fail "Recommends: $(field Recommends)"
case $(field Maintainer) in *"<"*@*">") ;; *) fail "Maintainer: $(field Maintainer)" ;; esac
# Dependencies come from the binaries: Qt's widgets and the C++ runtime.
for library in libqt6widgets6 libqt6printsupport6 libstdc++6 libc6; do
  field Depends | grep -q "$library" || fail "Depends lacks $library: $(field Depends)"
done
[ "$(field Description | wc -l)" -gt 3 ] || fail "Description without an extended text"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in \
  /usr/bin/lorvant \
  /usr/bin/lorvant-calc \
  "/usr/share/applications/$id.desktop" \
  "/usr/share/metainfo/$id.metainfo.xml" \
  /usr/share/icons/hicolor/scalable/apps/lorvant.svg \
  /usr/share/icons/hicolor/48x48/apps/lorvant.png \
  /usr/share/icons/hicolor/256x256/apps/lorvant.png \
  /usr/share/doc/lorvant/Lorvant.pdf \
  /usr/share/doc/lorvant/Lorvant_en.pdf \
  /usr/share/doc/lorvant/copyright \
  /usr/share/doc/lorvant/changelog.gz \
  /usr/share/man/man1/lorvant.1.gz \
  /usr/share/man/man1/lorvant-calc.1.gz \
  /usr/share/bash-completion/completions/lorvant-calc; do
  printf '%s\n' "$contents" | grep -qx "$path" || fail "missing $path"
done
# Nothing outside /usr, and no manual left in bin/ as the old layout had it.
printf '%s\n' "$contents" | grep -v '^/usr/' | grep -v '^/$' && fail "files outside /usr"
printf '%s\n' "$contents" | grep '^/usr/bin/.*\.pdf$' && fail "manuals in /usr/bin"

# The files themselves: icons of their sizes, a machine-readable copyright.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
for size in 48 256; do
  png="$tmp/usr/share/icons/hicolor/${size}x${size}/apps/lorvant.png"
  # Width and height are the 4-byte numbers at bytes 16 and 20 of a PNG.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done
head -1 "$tmp/usr/share/doc/lorvant/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in the machine-readable format"
"$tmp/usr/bin/lorvant-calc" --version | grep -qx "lorvant-calc $version" || fail "packaged lorvant-calc --version"

[ "$failed" -eq 0 ] && echo "$(basename "$deb"): fields and contents as expected"
exit "$failed"
