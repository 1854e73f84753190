#!/bin/sh
# The computation names its values by what they are; the windows' control
# and window names (Text2, Combo1, mnuVk, frmHauptform, ...) belong to the
# window code that maps its controls onto the records below the windows. Report file names
# such as ZusatzDipol.txt are the program's own and may appear.
# Usage: names_no_controls.sh FOLDER...
set -u
: "${1:?folders}"
pattern='\b(Text[0-9]+|Combo[0-9]+|Check[0-9]+|Option[0-9]+|Label[0-9]+|Command[0-9]+|Bild1|MDIForm1|mnu[A-Z]\w*|frm[A-Z]\w*)\b|\bZusatzDipol\b(?!\.txt)|heightTwips|\bInfo label\b'
if grep -rnP --include='*.h' "$pattern" "$@"; then
  echo "the headers above name window controls; name the values by meaning" >&2
  exit 1
fi
exit 0
