#!/bin/bash
# The folder dialog without the edit box (ChooseDirectory without cdEditable, with
# cdConfirm, cdCreate and a help context), on a deep folder: the path label in its place
# keeps the whole path as its caption and paints it shortened to its width; it follows
# the folder list; the Help button stays, OK and Cancel keep their places; OK returns the
# folder list's folder without a question. The Win32 test program opens the dialog for
# this (its disabled test FolderDialogTest.ShowThePathLabel) and prints the result.
. "$(dirname "$0")/lib/common.sh"

TESTS_EXE="$BUILD_DIR/tests/win_tests.exe"

wine "$TESTS_EXE" --gtest_also_run_disabled_tests --gtest_filter='FolderDialogTest.DISABLED_ShowThePathLabel' \
  </dev/null >"$E2E_TMP/tests.log" 2>&1 9>&- &
TESTS_PID=$!
E2E_PIDS="$E2E_PIDS $TESTS_PID"
check "the dialog opens" drv wait "$DLG" "$WAIT_MS"
drv dump "$DLG" >"$E2E_TMP/dump"
drv items "$DLG" $DIR_LIST >"$E2E_TMP/dirs"
drv items "$DLG" $FILE_LIST >"$E2E_TMP/files"
screenshot browse_pathlabel_deep
sed 's/^/  | /' "$E2E_TMP/dirs" "$E2E_TMP/files"

# The deep folder lies in the test program's own temporary folder.
deep=$(label_text)
SUFFIX='\Program Files\Tolvar\korvani\データ\領収書\2026'
case "$deep" in
  "$(drv folder temp)"\\*"$SUFFIX") pass "the label's caption is the whole path: $deep" ;;
  *) fail "label caption: $deep" ;;
esac
check "the path label is shown in the edit box's place" \
  grep -qE "^control id=$DIR_LABEL class=Static rect=8,24 313x20 visible=1 " "$E2E_TMP/dump"
check "no edit box" grep -qE "^control id=$DIR_EDIT class=Edit .* visible=0 " "$E2E_TMP/dump"
check "OK at 172" grep -qE "^control id=$OK class=Button rect=172,224 77x27 visible=1 " "$E2E_TMP/dump"
check "Cancel at 256" grep -qE "^control id=$CANCEL class=Button rect=256,224 77x27 visible=1 " "$E2E_TMP/dump"
check "with a help context the Help button stays" \
  grep -qE "^control id=$HELP class=Button rect=340,224 77x27 visible=1 " "$E2E_TMP/dump"
# The label paints the path shortened with "...\\" to its 313 pixels: on the screen its
# ink ends inside the label, yet it keeps more than half of the width (folders are left
# out, not the whole path). The screen is read until the label is drawn the same twice.
read -r ox oy < <(sed -n 's/^origin=\([0-9-]*\),\([0-9-]*\)$/\1 \2/p' "$E2E_TMP/dump")
ink_end() {  # the right end of the ink in the label's pixels, empty while it is blank
  import -display "$DISPLAY" -window root png:- 2>/dev/null |
    convert - -crop "313x20+$((ox + 8))+$((oy + 24))" +repage -threshold 50% -negate -format '%@\n' info: 2>/dev/null |
    sed -n 's/^\([1-9][0-9]*\)x[0-9]*+\([0-9]*\)+[0-9]*$/\1 \2/p' | { read -r w x && echo $((w + x)); }
}
last="" painted=""
for i in $(seq 1 100); do
  now=$(ink_end)
  if [ -n "$now" ] && [ "$now" = "$last" ]; then painted=$now; break; fi
  last=$now
done
check "the label's path is painted shortened to fit it (ink ends at ${painted:-none} of 313)" \
  test -n "$painted" -a "${painted:-0}" -gt 156 -a "${painted:-0}" -le 305
expect_line "the drive item" "$E2E_TMP/dirs" "item 0 C:\\"
same "the path items end in the current folder, its subfolder after it" \
  "$(sed -n 's/^item [0-9]* //p' "$E2E_TMP/dirs" | tail -7 | tr '\n' '|')" \
  'Program Files|Tolvar|korvani|データ|領収書|2026|ソフト|'
expect_line "the current folder is selected" "$E2E_TMP/dirs" \
  "selected=$(sed -n 's/^item \([0-9]*\) 2026$/\1/p' "$E2E_TMP/dirs")"
expect_line "the file list, sorted" "$E2E_TMP/files" "item 0 korvani.exe"
expect_line "both files" "$E2E_TMP/files" "item 1 receipt.txt"

# Into the subfolder: the label follows the folder list.
enter_item "$(sed -n 's/^item \([0-9]*\) ソフト$/\1/p' "$E2E_TMP/dirs")"
same "the label follows into ソフト" "$(label_text)" "$deep\\ソフト"
screenshot browse_pathlabel_deeper
enter_item "$(drv items "$DLG" $DIR_LIST | sed -n 's/^item \([0-9]*\) Tolvar$/\1/p')"
same "and up to Tolvar" "$(label_text)" "${deep%"$SUFFIX"}\\Program Files\\Tolvar"
screenshot browse_pathlabel_tolvar

# Help has no help file behind it: nothing happens. OK returns the list's folder, unasked.
chosen=$(label_text)
drv click "$DLG" $HELP
drv settle "$DLG"
check "Help leaves the dialog open" drv wait "$DLG" 0
drv click "$DLG" $OK
check "OK closes the dialog" drv gone "$DLG" "$WAIT_MS"
wait "$TESTS_PID"
same "the test program ended" "$?" 0
iconv -f CP932 -t UTF-8 "$E2E_TMP/tests.log" | tr -d '\r' >"$E2E_TMP/tests.utf8"
expect_line "OK returned the folder list's folder, without a question" "$E2E_TMP/tests.utf8" "result 1 $chosen"
e2e_finish
