#!/usr/bin/env bash
# Installs what building and testing Lorvant needs on Debian or Ubuntu,
# only the packages that are missing. Uses sudo when not run as root.
# At run time the program needs Qt's translations (German buttons and
# dialogs) and Qt's SVG icon engine (the program's icon).
set -euo pipefail

required=(
  build-essential cmake pkg-config gzip
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libgtest-dev libbenchmark-dev
  zlib1g-dev  # the SWR picture's PNG (zlib already comes with Qt Core)
  fonts-dejavu-core  # the picture's label font is rendered from DejaVu Sans at build time
  qt6-translations-l10n libqt6svg6
  nec2c  # the NEC-2 engine of the design check (lorvant-calc nec, its window, the manual's pictures of it); its tests skip without it
)
# Only some tests need these, and each such test is skipped with a message
# when its tool is missing, so a release that lacks one of these names must
# not stop the set-up: the fuzzer (clang and its runtime), the selection-paste
# test (a virtual X server), the package checks (dpkg-dev builds the
# package's dependencies, lintian judges it), the validators of the
# desktop entry and the AppStream metadata, strace (the batch tool's tests
# of failing system calls) and clang-format (the check of the sources'
# format).
optional=(clang libclang-rt-dev clang-format xvfb xauth dpkg-dev lintian desktop-file-utils appstream strace)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || printf '%s\n' "$p"
  done
}

mapfile -t missing < <(missing_of "${required[@]}")
mapfile -t missing_optional < <(missing_of "${optional[@]}")

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
for p in "${missing_optional[@]}"; do
  echo "Installing (optional): $p"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$p" ||
    echo "Could not install $p; the tests that need it will be skipped."
done
