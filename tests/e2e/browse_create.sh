#!/bin/bash
# Choosing a folder with the browse button: a typed folder that does not exist is asked
# about ("いいえ" keeps the dialog open with its text, "はい" closes it), then created with
# its parents and put into the field; "C:\PROGRAM FILES" in any letter case gets
# "\Tolvar\korvani" added; any other folder, c:\Program Files\Tolvar included, is taken
# as it is; an existing folder is taken without a question.
. "$(dirname "$0")/lib/common.sh"

DLG='TSelectDirDlg|'
DIR_EDIT=100 OK=110
QUESTION='指定されたディレクトリが存在しません。作成しますか？'
NEW='c:\korvani-e2e\新しい\フォルダ'
NEW_UNIX=$(drive_c 'korvani-e2e/新しい/フォルダ')
rm -rf "$(drive_c korvani-e2e)" "$(drive_c 'Program Files/Tolvar')"
cleanup_folders() { rm -rf "$(drive_c korvani-e2e)" "$(drive_c 'Program Files/Tolvar')"; }
trap 'cleanup_folders; e2e_cleanup' EXIT

field() { drv dump 'TSetupForm|' | sed -n 's/^control .* class=Edit .* text=//p'; }
edit_text() { drv dump "$DLG" | sed -n "s/^control id=$DIR_EDIT class=Edit .* text=//p"; }
open_dialog() {
  drv click 'TSetupForm|' '参照'
  drv wait "$DLG" 10000 >/dev/null || fail "the folder dialog did not open"
}
# choose TEXT: types the folder into the dialog and presses OK.
choose() {
  open_dialog
  drv settext "$DLG" $DIR_EDIT "$1"
  drv click "$DLG" $OK
}

start_setup

# A new folder: asked about.
choose "$NEW"
if drv wait 'TMessageForm|' 10000 >/dev/null; then
  drv dump 'TMessageForm|' >"$E2E_TMP/box"
  screenshot browse_question
  expect_line "$E2E_TMP/box" "caption=確認" "the question's caption"
  grep -qF -- "text=$QUESTION" "$E2E_TMP/box" && pass "the question" || { fail "the question:"; cat "$E2E_TMP/box"; }
  grep -qF -- "text=はい(&Y)" "$E2E_TMP/box" && grep -qF -- "text=いいえ(&N)" "$E2E_TMP/box" &&
    pass "Yes and No" || fail "the buttons"
  drv click 'TMessageForm|' 'いいえ(&N)'
  drv gone 'TMessageForm|' 5000 || fail "No did not close the question"
  sleep 0.3
  drv wait "$DLG" 1000 >/dev/null && pass "No keeps the dialog open" || fail "No closed the dialog"
  check "$(edit_text)" "$NEW" "with the typed folder"
  [ ! -e "$NEW_UNIX" ] && pass "nothing created after No" || fail "created after No"
  # Yes: the dialog closes, the folder is made, the field takes it.
  drv click "$DLG" $OK
  if drv wait 'TMessageForm|' 10000 >/dev/null; then
    drv click 'TMessageForm|' 'はい(&Y)'
  else
    fail "no question the second time"
  fi
  drv gone "$DLG" 5000 && pass "Yes closes the dialog" || fail "the dialog stayed open after Yes"
  sleep 0.3
  check "$(field)" "$NEW" "the field takes the new folder"
  [ -d "$NEW_UNIX" ] && pass "the folder was created with its parents" || fail "no folder $NEW_UNIX"
else
  fail "no question for a folder that does not exist"
  drv close "$DLG"
fi
screenshot browse_after_create

# The program folder in capitals: our folder in it.
choose 'C:\PROGRAM FILES'
drv gone "$DLG" 5000 && pass "an existing folder: no question" || fail "the dialog stayed open"
sleep 0.3
check "$(field)" 'C:\PROGRAM FILES\Tolvar\korvani' "C:\\PROGRAM FILES gets Tolvar\\korvani"
[ ! -e "$(drive_c 'Program Files/Tolvar')" ] && pass "the suffix is not created by browsing" ||
  fail "Tolvar created"

# Browsing again starts on the field's folder when it exists: c:\korvani-e2e\新しい\フォルダ.
drv settext 'TSetupForm|' class=Edit "$NEW"
open_dialog
check "$(edit_text)" "$NEW" "the dialog starts on the field's folder"
drv click "$DLG" $OK
drv gone "$DLG" 5000 || fail "OK did not close the dialog"
sleep 0.3
check "$(field)" "$NEW" "OK on the start folder keeps it"

# Any other folder is taken as it is, also one inside the program folder.
choose 'c:\Program Files\Tolvar'
if drv wait 'TMessageForm|' 10000 >/dev/null; then
  drv click 'TMessageForm|' 'はい(&Y)'
fi
drv gone "$DLG" 5000 || fail "the dialog stayed open"
sleep 0.3
check "$(field)" 'c:\Program Files\Tolvar' "a folder inside the program folder gets nothing added"
[ -d "$(drive_c 'Program Files/Tolvar')" ] && pass "and was created" || fail "Tolvar not created"

# An empty folder text, confirmed: the folder cannot be made; the error ends the browse
# in the exception box, the dialog gone and the field unchanged.
choose ''
drv wait 'TMessageForm|' 10000 >/dev/null && drv click 'TMessageForm|' 'はい(&Y)'
ERROR_BOX='#32770|コルヴァニ　領収書発行セットアップ'
if drv wait "$ERROR_BOX" 10000 >/dev/null; then
  drv dump "$ERROR_BOX" | grep -qF 'text=ディレクトリを作成することができません.' &&
    pass "the exception box tells the folder cannot be made" || fail "exception box text"
  screenshot browse_empty_folder
  drv click "$ERROR_BOX" OK
else
  fail "no exception box for the empty folder"
fi
drv gone "$DLG" 5000 && pass "the dialog is gone" || fail "the dialog stayed"
check "$(field)" 'c:\Program Files\Tolvar' "the field is unchanged"

drv close 'TSetupForm|'
wait_setup_exit
check "$SETUP_RC" 0 "exit code"
e2e_finish
