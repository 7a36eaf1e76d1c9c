#!/bin/bash
# Choosing a folder with the browse button: a typed folder that does not exist is asked
# about ("いいえ" keeps the dialog open with its text, "はい" closes it), then created with
# its parents and put into the field; "C:\PROGRAM FILES" in any letter case gets
# "\Tolvar\korvani" added; any other folder, c:\Program Files\Tolvar included, is taken
# as it is; an existing folder is taken without a question.
. "$(dirname "$0")/lib/common.sh"

QUESTION='指定されたディレクトリが存在しません。作成しますか？'
NEW='c:\korvani-e2e\新しい\フォルダ'
NEW_UNIX=$(drive_c 'korvani-e2e/新しい/フォルダ')
rm -rf "$(drive_c korvani-e2e)" "$(drive_c 'Program Files/Tolvar')"
cleanup_folders() { rm -rf "$(drive_c korvani-e2e)" "$(drive_c 'Program Files/Tolvar')"; }
trap 'cleanup_folders; e2e_cleanup' EXIT

# choose TEXT: types the folder into the dialog and presses OK.
choose() {
  open_dialog
  drv settext "$DLG" $DIR_EDIT "$1"
  drv click "$DLG" $OK
}

# closes_into CLOSED FIELD FOLDER: the dialog closes (check CLOSED) and, once the setup
# dialog has handled that, the field holds FOLDER (check FIELD).
closes_into() {
  check "$1" drv gone "$DLG" "$WAIT_MS"
  drv settle 'TSetupForm|'
  same "$2" "$(field)" "$3"
}

start_setup

# A new folder: asked about.
choose "$NEW"
if drv wait 'TMessageForm|' "$WAIT_MS" >/dev/null; then
  drv dump 'TMessageForm|' >"$E2E_TMP/box"
  screenshot browse_question
  expect_line "the question's caption" "$E2E_TMP/box" "caption=確認"
  grep -qF -- "text=$QUESTION" "$E2E_TMP/box" && pass "the question" || { fail "the question:"; cat "$E2E_TMP/box"; }
  grep -qF -- "text=はい(&Y)" "$E2E_TMP/box" && grep -qF -- "text=いいえ(&N)" "$E2E_TMP/box" &&
    pass "Yes and No" || fail "the buttons"
  drv click 'TMessageForm|' 'いいえ(&N)'
  check "No closes the question" drv gone 'TMessageForm|' "$WAIT_MS"
  # Once the dialog has handled what followed the answer, it is still shown.
  drv settle "$DLG"
  check "No keeps the dialog open" drv wait "$DLG" 0
  same "with the typed folder" "$(edit_text)" "$NEW"
  check "nothing created after No" [ ! -e "$NEW_UNIX" ]
  # Yes: the dialog closes, the folder is made, the field takes it.
  drv click "$DLG" $OK
  check "the question comes again" drv wait 'TMessageForm|' "$WAIT_MS"
  drv click 'TMessageForm|' 'はい(&Y)'
  closes_into "Yes closes the dialog" "the field takes the new folder" "$NEW"
  check "the folder was created with its parents" [ -d "$NEW_UNIX" ]
else
  fail "no question for a folder that does not exist"
  drv close "$DLG"
fi
screenshot browse_after_create

# The program folder in capitals: our folder in it.
choose 'C:\PROGRAM FILES'
closes_into "an existing folder: no question" "C:\\PROGRAM FILES gets Tolvar\\korvani" 'C:\PROGRAM FILES\Tolvar\korvani'
check "the suffix is not created by browsing" [ ! -e "$(drive_c 'Program Files/Tolvar')" ]

# Browsing again starts on the field's folder when it exists: c:\korvani-e2e\新しい\フォルダ.
drv settext 'TSetupForm|' class=Edit "$NEW"
open_dialog
same "the dialog starts on the field's folder" "$(edit_text)" "$NEW"
drv click "$DLG" $OK
closes_into "OK closes the dialog" "OK on the start folder keeps it" "$NEW"

# Any other folder is taken as it is, also one inside the program folder.
choose 'c:\Program Files\Tolvar'
check "a missing folder inside the program folder is asked about" drv wait 'TMessageForm|' "$WAIT_MS"
drv click 'TMessageForm|' 'はい(&Y)'
closes_into "Yes closes the dialog" "a folder inside the program folder gets nothing added" 'c:\Program Files\Tolvar'
check "and was created" [ -d "$(drive_c 'Program Files/Tolvar')" ]

# An empty folder text, confirmed: the folder cannot be made; the error ends the browse
# in the exception box, the dialog gone and the field unchanged.
choose ''
check "the empty folder is asked about" drv wait 'TMessageForm|' "$WAIT_MS"
drv click 'TMessageForm|' 'はい(&Y)'
if drv wait "$SETUP_BOX" "$WAIT_MS"; then
  same "the exception box tells the folder cannot be made" "$(message_text "$SETUP_BOX")" \
    'ディレクトリを作成することができません.'
  screenshot browse_empty_folder
  drv click "$SETUP_BOX" OK
else
  fail "no exception box for the empty folder"
fi
closes_into "the dialog is gone" "the field is unchanged" 'c:\Program Files\Tolvar'

drv close 'TSetupForm|'
wait_setup_exit "exit code"
e2e_finish
