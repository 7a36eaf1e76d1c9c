#!/bin/bash
# UnInst.exe on an installation laid out as the installer leaves it (files, Start-menu
# folder with three shortcuts, desktop shortcut, registry value). "No" removes nothing;
# "yes" hands over to a copy in the temporary folder, which removes everything
# (including UnInst.exe itself), reports it, and is itself gone when it has ended.
. "$SOURCE_DIR/tests/e2e/payloadprobe/common.bash"

# A folder whose names hold 0x5C trail bytes; the user typed it with a trailing "\",
# so the shortcuts and the registry value carry it that way (C:\...\\update.exe).
FOLDER='C:\payload-e2e\ソフト表\korvani'
TYPED="$FOLDER\\"
clear_installation "$FOLDER"
rm -rf "$(unix_path 'C:\payload-e2e')"
lay_out_installation "$FOLDER" "$TYPED" || { echo "FAIL: cannot lay out the installation"; exit 1; }
before=$(installation_state "$FOLDER")
echo "$before"
check "the layout has the five files" [ "$(grep -c '^file ' <<<"$before")" -eq 5 ]
check "the layout has the three Start-menu shortcuts" [ "$(grep -c '^startmenu .*\.lnk$' <<<"$before")" -eq 3 ]
check "the layout has the desktop shortcut" grep -qx 'desktop link' <<<"$before"
check "the layout has the registry value" grep -qxF "registry Path=$TYPED" <<<"$before"
leftover_copies=$(copies_in_temp)

# 1. "No": nothing is removed, and no copy is started.
wine_run "$FOLDER\\UnInst.exe" &
uninst=$!
question=$(probe msgbox "$UNINSTALL_CAPTION" "$WAIT_MS")
check "UnInst.exe asks first" [ "$?" -eq 0 ]
echo "$question"
screenshot payload_uninstall_question
check "the question names the folder" grep -qxF "$FOLDER" <<<"$question"
check "the question asks about uninstalling" grep -q 'アンインストールしますか' <<<"$question"
probe press "$UNINSTALL_CAPTION" "$IDNO" "$WAIT_MS"
wait "$uninst"
check "answering no ends with exit code 1" [ "$?" -eq 1 ]
check "answering no removes nothing" [ "$(installation_state "$FOLDER")" = "$before" ]
check "answering no starts no copy" probe noproc korvani-uninst 2000
check "answering no leaves no copy in the temporary folder" [ "$(copies_in_temp)" = "$leftover_copies" ]

# 2. "Yes": everything goes.
wine_run "$FOLDER\\UnInst.exe" &
uninst=$!
probe msgbox "$UNINSTALL_CAPTION" "$WAIT_MS" >/dev/null
probe press "$UNINSTALL_CAPTION" "$IDYES" "$WAIT_MS"
wait "$uninst"
check "answering yes hands over and ends with exit code 0" [ "$?" -eq 0 ]
report=$(probe msgbox "$UNINSTALL_CAPTION" "$WAIT_MS")
check "the copy reports when it is done" [ "$?" -eq 0 ]
echo "$report"
screenshot payload_uninstall_report
check "the report says the uninstallation is complete" \
  [ "$report" = "${PRODUCT}をアンインストールしました。" ]
probe press "$UNINSTALL_CAPTION" "$IDOK" "$WAIT_MS"
check "the copy ends after the report" probe noproc korvani-uninst "$WAIT_MS"

linux=$(unix_path "$FOLDER")
for f in "${INSTALLED_FILES[@]}"; do
  check "$f is removed" [ ! -e "$linux/$f" ]
done
check "the installation folder is removed" [ ! -e "$linux" ]
check "its parent folder is left alone" [ -d "$(dirname "$linux")" ]
sm=$(unix_path "$(programs_folder)\\コルヴァニ")
check "the Start-menu folder with its shortcuts is removed" [ ! -e "$sm" ]
check "the desktop shortcut is removed" [ ! -e "$(unix_path "$(desktop_folder)\\${PRODUCT}.lnk")" ]
check "the registry value is removed" [ "$(probe regget "$REG_KEY" Path; echo "rc=$?")" = "rc=1" ]
check "the emptied key korv is removed" [ "$(probe regkey "$REG_KEY"; echo "rc=$?")" = "rc=1" ]
check "the emptied key Tolvar Co.,Ltd. is removed" [ "$(probe regkey "$REG_PARENT"; echo "rc=$?")" = "rc=1" ]
check "nothing of the installation is left" [ -z "$(installation_state "$FOLDER")" ]
check "the copy in the temporary folder is gone" [ "$(copies_in_temp)" = "$leftover_copies" ]

rm -rf "$(unix_path 'C:\payload-e2e')"
finish
