#!/bin/bash
# Where the folder dialog opens: on the folder in the field when it exists (also on
# another drive, also at a drive root), on c:\Program Files\ when the field names no
# folder, and on the process's current folder when that start folder does not exist
# either (here the program folder is moved away for a moment).
. "$(dirname "$0")/lib/common.sh"

DLG='TSelectDirDlg|'
DIR_EDIT=100 DRIVE_LIST=102 CANCEL=111
PROGRAM_FILES=$(drive_c 'Program Files')
AWAY=$(drive_c 'Program Files.korvani-away')
START=$(drive_c korvani-start)
restore() {
  if [ -d "$AWAY" ] && [ ! -e "$PROGRAM_FILES" ]; then mv "$AWAY" "$PROGRAM_FILES"; fi
  rm -rf "$START"
}
trap 'restore; e2e_cleanup' EXIT
mkdir -p "$START/sub"

edit_text() { drv dump "$DLG" | sed -n "s/^control id=$DIR_EDIT class=Edit .* text=//p"; }
# The drive letter as the platform spells it after a move (c: or C:) is not at stake.
drive_upper() { printf '%s' "$1" | sed 's/^\([a-z]\):/\U\1:/'; }
selected_drive() { drv items "$DLG" $DRIVE_LIST | sed -n 's/^selected=//p'; }
drive_item() { drv items "$DLG" $DRIVE_LIST | sed -n "s/^item $1 \(..\).*/\1/p"; }
# opens_on FIELD EXPECTED DESCRIPTION: with FIELD in the setup dialog, the dialog opens
# with EXPECTED in its edit box; it is cancelled again.
opens_on() {
  drv settext 'TSetupForm|' class=Edit "$1"
  drv click 'TSetupForm|' '参照'
  if ! drv wait "$DLG" 10000 >/dev/null; then
    fail "$3: no dialog"
    return
  fi
  check "$(drive_upper "$(edit_text)")" "$(drive_upper "$2")" "$3"
  LAST_DRIVE=$(drive_item "$(selected_drive)")
  screenshot "browse_start_$4"
  drv click "$DLG" $CANCEL
  drv gone "$DLG" 5000 || fail "$3: Cancel did not close the dialog"
  check "$(drv dump 'TSetupForm|' | sed -n 's/^control .* class=Edit .* text=//p')" "$1" "$3: the field is kept"
}

# Setup.exe runs in a folder of drive C, which is its current folder.
cd "$START"
start_setup
cd - >/dev/null

opens_on 'c:\windows' 'c:\windows' "an existing folder" windows
opens_on 'C:\WINDOWS\system32' 'C:\WINDOWS\system32' "the folder as typed" system32
opens_on 'z:\tmp' 'z:\tmp' "a folder on drive z:" z
check "$LAST_DRIVE" "z:" "the drive box moves to z:"
opens_on 'c:\' 'c:\' "a drive root opens on the root" root
check "$LAST_DRIVE" "c:" "and the drive box back to c:"
opens_on 'c:\no\such\folder' 'c:\Program Files' "a missing folder: c:\\Program Files" missing
opens_on '' 'c:\Program Files' "an empty field: c:\\Program Files" empty

drv close 'TSetupForm|'
wait_setup_exit
check "$SETUP_RC" 0 "exit code"

# Without c:\Program Files the dialog opens where the process stands, in a new run
# (the lists of the runs before stood in c:\Program Files).
mv "$PROGRAM_FILES" "$AWAY"
cd "$START"
start_setup
cd - >/dev/null
opens_on 'c:\no\such\folder' 'C:\korvani-start' "neither exists: the process's current folder" current
mv "$AWAY" "$PROGRAM_FILES"
drv close 'TSetupForm|'
wait_setup_exit
check "$SETUP_RC" 0 "exit code of the second run"
e2e_finish
