#!/bin/sh
# Which folder may include which: shell/ is the ground every window stands
# on and includes none; the windows know the main form only by its interface
# (forms/main/MainForm.h) and never one another; only app/ knows them all.
# Usage: check_includes.sh SOURCE_DIR (shell | windows)
root=$1
status=0
forbid() {  # folder, what it must not include (an extended regular expression)
  if grep -rnE "#include[[:space:]]*\"($2)" "$root/$1" --include=*.h --include=*.cpp; then
    echo "$1/ must not include $2"
    status=1
  fi
}
case $2 in
  shell)
    forbid shell 'forms/|feedpoint/|vk/|dipole/|viewer/|app/|nec/' ;;
  windows)
    forbid viewer 'forms/|feedpoint/|vk/|dipole/|app/|nec/'
    forbid forms 'feedpoint/|vk/|dipole/|app/|nec/'
    forbid feedpoint 'forms/main/frmHauptform|vk/|dipole/|app/|nec/'
    forbid vk 'forms/main/frmHauptform|feedpoint/|dipole/|app/|nec/'
    forbid dipole 'forms/main/frmHauptform|feedpoint/|vk/|nec/|app/'
    forbid nec 'forms/main/frmHauptform|feedpoint/|vk/|dipole/|app/' ;;
  *)
    echo "usage: $0 SOURCE_DIR shell|windows"
    status=2 ;;
esac
exit $status
