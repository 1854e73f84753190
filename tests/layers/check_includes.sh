#!/bin/sh
# Which folder may include which: every layer includes only the layers below
# it. The windows know the main form only by its interface
# (windows/main/MainForm.h) and never one another; only app/ knows them all.
# Usage: check_includes.sh SOURCE_DIR
root=${1:?source folder}
status=0
below='engine/|io/|text/|picture/|session/'
# folder, the includes it may have (an extended regular expression, anchored)
allow() {
  found=$(grep -rnoE '#include[[:space:]]*"[^"]+"' "$root/$1" --include=*.h --include=*.cpp |
    sed 's/#include[[:space:]]*"\([^"]*\)"/\1/' | awk -F: -v ok="^($2)" '$3 !~ ok && $3 ~ /\// {print}')
  if [ -n "$found" ]; then
    echo "$found"
    echo "$1/ may include only: $2"
    status=1
  fi
}
allow engine 'engine/'
allow io 'engine/|io/'
allow text 'engine/|text/'
allow picture 'engine/|text/|picture/'
allow session "$below"
allow shell "$below|shell/"
for w in feedpoint vk dipole nec viewer; do
  allow windows/$w "$below|shell/|windows/$w/|windows/main/MainForm\\.h"
done
# After a run the main form shows its report in the quick viewer.
allow windows/main "$below|shell/|windows/main/|windows/viewer/frmRTF\\.h"
allow cli "$below|cli/"
exit $status
