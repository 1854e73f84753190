#!/bin/sh
# The sources keep the tree's format (.clang-format). Formatters of other
# major versions break lines differently, so the check runs only with the
# version the tree was formatted with and is skipped otherwise.
# Usage: check_format.sh SOURCE_DIR
root=${1:?source folder}
wanted=14
tool=$(command -v clang-format-$wanted || command -v clang-format) || { echo "clang-format not found: skipped"; exit 77; }
major=$("$tool" --version | sed -n 's/.*version \([0-9]*\).*/\1/p')
if [ "$major" != "$wanted" ]; then
  echo "$tool is version $major, the tree is formatted with $wanted: skipped"
  exit 77
fi
cd "$root" || exit 2
files=$(find engine io text picture session shell windows app cli tools tests bench -name '*.h' -o -name '*.cpp')
[ -n "$files" ] || { echo "no sources under $root"; exit 2; }
# shellcheck disable=SC2086
if ! "$tool" --dry-run -Werror $files; then
  echo "format with: $tool -i FILE (.clang-format)"
  exit 1
fi
exit 0
