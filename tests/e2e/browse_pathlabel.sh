#!/bin/bash
# The folder dialog without the edit box (ChooseDirectory without cdEditable, with
# cdConfirm, cdCreate and a help context), on a deep folder: the path label in its place
# keeps the whole path as its caption and paints it shortened with "...\"; it follows the
# folder list; the Help button stays, OK and Cancel keep their places; OK returns the
# folder list's folder without a question. The Win32 test program opens the dialog for
# this (its disabled test FolderDialogTest.ShowThePathLabel) and prints the result.
. "$(dirname "$0")/lib/common.sh"

DLG='TSelectDirDlg|'
DIR_EDIT=100 DIR_LABEL=104 DIR_LIST=105 FILE_LIST=107 OK=110 CANCEL=111 HELP=112
TESTS_EXE="$BUILD_DIR/tests/win_tests.exe"

label_text() { drv dump "$DLG" | sed -n "s/^control id=$DIR_LABEL class=Static .* text=//p"; }

wine "$TESTS_EXE" --gtest_also_run_disabled_tests --gtest_filter='FolderDialogTest.DISABLED_ShowThePathLabel' \
  </dev/null >"$E2E_TMP/tests.log" 2>&1 9>&- &
TESTS_PID=$!
E2E_PIDS="$E2E_PIDS $TESTS_PID"
drv wait "$DLG" 30000 >/dev/null || fail "the dialog did not open"
drv dump "$DLG" >"$E2E_TMP/dump"
drv items "$DLG" $DIR_LIST >"$E2E_TMP/dirs"
drv items "$DLG" $FILE_LIST >"$E2E_TMP/files"
screenshot browse_pathlabel_deep
sed 's/^/  | /' "$E2E_TMP/dirs" "$E2E_TMP/files"

deep=$(label_text)
case "$deep" in
  *'\Program Files\Tolvar\korvani\データ\領収書\2026') pass "the label's caption is the whole path: $deep" ;;
  *) fail "label caption: $deep" ;;
esac
grep -qE "^control id=$DIR_LABEL class=Static rect=8,24 313x20 visible=1 " "$E2E_TMP/dump" &&
  pass "the path label is shown in the edit box's place" || fail "path label"
grep -qE "^control id=$DIR_EDIT class=Edit .* visible=0 " "$E2E_TMP/dump" && pass "no edit box" || fail "edit box"
grep -qE "^control id=$OK class=Button rect=172,224 77x27 visible=1 " "$E2E_TMP/dump" && pass "OK at 172" || fail "OK"
grep -qE "^control id=$CANCEL class=Button rect=256,224 77x27 visible=1 " "$E2E_TMP/dump" && pass "Cancel at 256" ||
  fail "Cancel"
grep -qE "^control id=$HELP class=Button rect=340,224 77x27 visible=1 " "$E2E_TMP/dump" &&
  pass "with a help context the Help button stays" || fail "Help"
[ "${#deep}" -gt 60 ] && pass "the path is too long for the label (${#deep} characters)" || fail "path too short"
expect_line "$E2E_TMP/dirs" "item 0 C:\\" "the drive item"
tail -4 "$E2E_TMP/dirs" | grep -q '^item [0-9]* 2026$' && pass "the current folder's item" || fail "current item"
expect_line "$E2E_TMP/dirs" "$(sed -n 's/^item \([0-9]*\) ソフト$/item \1 ソフト/p' "$E2E_TMP/dirs")" "its subfolder ソフト"
expect_line "$E2E_TMP/files" "item 0 korvani.exe" "the file list, sorted"
expect_line "$E2E_TMP/files" "item 1 receipt.txt" "both files"

# Into the subfolder: the label follows the folder list.
soft=$(sed -n 's/^item \([0-9]*\) ソフト$/\1/p' "$E2E_TMP/dirs")
drv dblclick "$DLG" $DIR_LIST "$soft"
sleep 0.5
check "$(label_text)" "$deep\\ソフト" "the label follows into ソフト"
screenshot browse_pathlabel_deeper
# Up to Tolvar: short enough to show whole? The caption is whole either way.
tolvar=$(drv items "$DLG" $DIR_LIST | sed -n 's/^item \([0-9]*\) Tolvar$/\1/p')
drv dblclick "$DLG" $DIR_LIST "$tolvar"
sleep 0.5
case "$(label_text)" in
  *'\Program Files\Tolvar') pass "up to Tolvar" ;;
  *) fail "after Tolvar: $(label_text)" ;;
esac
screenshot browse_pathlabel_tolvar

# Help has no help file behind it: nothing happens. OK returns the list's folder, unasked.
chosen=$(label_text)
drv click "$DLG" $HELP
sleep 0.3
drv wait "$DLG" 1000 >/dev/null && pass "Help leaves the dialog open" || fail "Help closed the dialog"
drv click "$DLG" $OK
drv gone "$DLG" 5000 || fail "OK did not close the dialog"
wait "$TESTS_PID"
check "$?" 0 "the test program ended"
iconv -f CP932 -t UTF-8 "$E2E_TMP/tests.log" | tr -d '\r' >"$E2E_TMP/tests.utf8"
expect_line "$E2E_TMP/tests.utf8" "result 1 $chosen" "OK returned the folder list's folder, without a question"
e2e_finish
