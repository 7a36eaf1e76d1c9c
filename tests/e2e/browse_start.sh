#!/bin/bash
# Where the folder dialog opens: on the folder in the field when it exists (also on
# another drive, also at a drive root), and on c:\Program Files\ when the field names
# no folder. (That the dialog falls back to the process's current folder when its start
# folder is missing too is checked by the Win32 tests, without touching the prefix.)
. "$(dirname "$0")/lib/common.sh"

# The drive letter as the platform spells it after a move (c: or C:) is not at stake.
drive_upper() { printf '%s' "$1" | sed 's/^\([a-z]\):/\U\1:/'; }
selected_drive() { drv items "$DLG" $DRIVE_LIST | sed -n 's/^selected=//p'; }
drive_item() { drv items "$DLG" $DRIVE_LIST | sed -n "s/^item $1 \(..\).*/\1/p"; }
# opens_on FIELD EXPECTED DESCRIPTION: with FIELD in the setup dialog, the dialog opens
# with EXPECTED in its edit box; it is cancelled again.
opens_on() {
  drv settext 'TSetupForm|' class=Edit "$1"
  open_dialog || return
  same "$3" "$(drive_upper "$(edit_text)")" "$(drive_upper "$2")"
  LAST_DRIVE=$(drive_item "$(selected_drive)")
  screenshot "browse_start_$4"
  drv click "$DLG" $CANCEL
  check "$3: Cancel closes the dialog" drv gone "$DLG" "$WAIT_MS"
  drv settle 'TSetupForm|'
  same "$3: the field is kept" "$(field)" "$1"
}

start_setup

opens_on 'c:\windows' 'c:\windows' "an existing folder" windows
opens_on 'C:\WINDOWS\system32' 'C:\WINDOWS\system32' "the folder as typed" system32
opens_on 'z:\tmp' 'z:\tmp' "a folder on drive z:" z
same "the drive box moves to z:" "$LAST_DRIVE" "z:"
opens_on 'c:\' 'c:\' "a drive root opens on the root" root
same "and the drive box back to c:" "$LAST_DRIVE" "c:"
opens_on 'c:\no\such\folder' 'c:\Program Files' "a missing folder: c:\\Program Files" missing
opens_on '' 'c:\Program Files' "an empty field: c:\\Program Files" empty

drv close 'TSetupForm|'
wait_setup_exit "exit code"
e2e_finish
