#!/bin/bash
# The browse button: the folder selection dialog as it opens from the default folder
# (its caption, size, controls, the edit box on c:\Program Files, the folder list's items,
# no Help button with OK and Cancel moved into its place), moving into a folder by
# double-click, the drive box, and Cancel, Esc and the close box changing nothing.
. "$(dirname "$0")/lib/common.sh"

DEFAULT='c:\Program Files\Tolvar\korvani'

start_setup
same "the field holds the default folder" "$(field)" "$DEFAULT"
open_dialog
drv dump "$DLG" >"$E2E_TMP/dump"
drv items "$DLG" $DIR_LIST >"$E2E_TMP/dirs"
drv items "$DLG" $DRIVE_LIST >"$E2E_TMP/drives"
drv focus "$DLG" >"$E2E_TMP/focus"
screenshot browse_program_files
sed 's/^/  | /' "$E2E_TMP/dump" "$E2E_TMP/dirs" "$E2E_TMP/drives"

expect_line "dialog caption" "$E2E_TMP/dump" "caption=ディレクトリの選択"
expect_line "client area 424 x 255" "$E2E_TMP/dump" "client=0,0 424x255"
expect_line "owned by the application window" "$E2E_TMP/dump" "owner=TApplication|コルヴァニ　領収書発行セットアップ"
grep -q "^rect=[0-9]*,[0-9]* 430x280$" "$E2E_TMP/dump" && pass "fixed dialog frame" || fail "outer size"
ctl() { grep -qE "^control id=$1 class=$2 rect=$3 visible=$4 .*text=$5\$" "$E2E_TMP/dump"; }
# The default folder does not exist yet: the dialog starts on c:\Program Files\.
ctl $DIR_EDIT Edit '8,24 313x20' 1 'c:\\Program Files' && pass "edit box on the start folder" || fail "DirEdit"
ctl $DIR_LABEL Static '8,24 313x20' 0 'c:\\Program Files' && pass "path label hidden" || fail "DirLabel"
ctl $DIR_LIST ListBox '8,72 213x[0-9]*' 1 '' && pass "folder list" || fail "DirList"
ctl $FILE_LIST ListBox '232,72 185x93' 1 '' && pass "file list" || fail "FileList"
ctl $DRIVE_LIST ComboBox '232,192 185x[0-9]*' 1 'c: \[.*\]' && pass "drive box on c:" || fail "DriveList"
ctl $NET Button '8,224 77x27' 0 'ネットワーク\(&N\)\.\.\.' && pass "no network button" || fail "NetButton"
ctl $OK Button '256,224 77x27' 1 'OK' && pass "OK moved to 256" || fail "OKButton"
ctl $CANCEL Button '340,224 77x27' 1 'キャンセル' && pass "Cancel moved to 340" || fail "CancelButton"
ctl $HELP Button '340,224 77x27' 0 'ヘルプ\(&H\)' && pass "Help hidden" || fail "HelpButton"
for caption in 'ディレクトリ名(&N):' 'ディレクトリ(&D):' 'ファイル(&F): (*.*)' 'ドライブ(&R):'; do
  grep '^control .* class=Static .* visible=1 ' "$E2E_TMP/dump" | grep -qF -- "text=$caption" &&
    pass "label $caption" || fail "label $caption"
done
expect_line "first item: the drive" "$E2E_TMP/dirs" "item 0 c:\\"
expect_line "second item: the start folder" "$E2E_TMP/dirs" "item 1 Program Files"
expect_line "the start folder is selected" "$E2E_TMP/dirs" "selected=1"
expect_line "its subfolders follow" "$E2E_TMP/dirs" "item 2 Common Files"
grep -q '^item [0-9]* c: \[' "$E2E_TMP/drives" && pass "drive c: listed" || fail "drive c:"
grep -q '^item [0-9]* z: \[' "$E2E_TMP/drives" && pass "drive z: listed" || fail "drive z:"
grep -q "^focus id=$DIR_LIST class=ListBox" "$E2E_TMP/focus" && pass "the folder list has the focus" ||
  fail "focus: $(cat "$E2E_TMP/focus")"
same "the setup dialog is disabled meanwhile" "$(drv dump 'TSetupForm|' | sed -n 's/^window .* enabled=\([01]\) .*/\1/p')" 0

# A single click selects; a double click enters the folder, and the edit box follows.
# Each posted input is handled (settle) before the dialog is read.
common=$(item_index $DIR_LIST 'Common Files')
drv select "$DLG" $DIR_LIST "$common"
drv settle "$DLG"
same "a click only selects" "$(edit_text)" 'c:\Program Files'
enter_item "$common"
same "a double click enters the folder" "$(edit_text)" 'c:\Program Files\Common Files'
drv items "$DLG" $DIR_LIST >"$E2E_TMP/dirs"
expect_line "the entered folder is the third path item" "$E2E_TMP/dirs" "item 2 Common Files"
expect_line "and selected" "$E2E_TMP/dirs" "selected=2"
screenshot browse_common_files

# A folder with files: c:\windows\system32.
enter_item 0
same "the first item is the drive root" "$(edit_text)" 'c:\'
enter_item "$(item_index $DIR_LIST windows)"
enter_item "$(item_index $DIR_LIST system32)"
same "two levels down" "$(edit_text)" 'c:\windows\system32'
drv items "$DLG" $FILE_LIST >"$E2E_TMP/files"
check "the file list shows the folder's files" grep -qi '^item [0-9]* kernel32\.dll$' "$E2E_TMP/files"
screenshot browse_system32

# The drive box: z: moves the folder list to drive Z.
drv select "$DLG" $DRIVE_LIST "$(drv items "$DLG" $DRIVE_LIST | sed -n 's/^item \([0-9]*\) z: .*/\1/p')"
drv settle "$DLG"
case "$(edit_text)" in
  [zZ]:\\*) pass "the drive box moved the lists to z:" ;;
  *) fail "after picking z: the edit box shows $(edit_text)" ;;
esac
screenshot browse_drive_z

# Cancel, Esc and the close box: the field keeps its text, nothing is created.
leaves_the_field() {  # WHAT
  drv gone "$DLG" "$WAIT_MS" || fail "$1 did not close the dialog"
  drv settle 'TSetupForm|'
  same "$1 leaves the field" "$(field)" "$DEFAULT"
}
drv click "$DLG" $CANCEL
leaves_the_field Cancel
open_dialog
drv settext "$DLG" $DIR_EDIT 'c:\korvani-esc'
drv key "$DLG" esc
leaves_the_field Esc
open_dialog
drv settext "$DLG" $DIR_EDIT 'c:\korvani-close'
drv close "$DLG"
leaves_the_field "the close box"
[ ! -e "$(drive_c korvani-esc)" ] && [ ! -e "$(drive_c korvani-close)" ] && pass "nothing created" ||
  fail "a cancelled folder was created"
drv dump 'TSetupForm|' | grep -q '^window .* enabled=1 ' && pass "the setup dialog is enabled again" ||
  fail "the setup dialog stayed disabled"

# Enter while the folder list has the focus presses OK: the selected subfolder is not
# entered, the dialog's folder is chosen.
drv settext 'TSetupForm|' class=Edit 'c:\windows'
open_dialog
drv select "$DLG" $DIR_LIST "$(item_index $DIR_LIST system32)"
drv key "$DLG" enter
check "Enter pressed OK" drv gone "$DLG" "$WAIT_MS"
drv settle 'TSetupForm|'
same "Enter chose the dialog's folder, not the selected one" "$(field)" 'c:\windows'

drv close 'TSetupForm|'
wait_setup_exit "exit code"
e2e_finish
