#!/bin/bash
# UnInst.exe on an installation laid out as the installer leaves it (files, Start-menu
# folder with three shortcuts, desktop shortcut, registry value). "No" removes nothing;
# "yes" hands over to a copy in a new folder below the Windows folder's Temp (never the
# user's temporary folder, which programs of the user can write to), which removes
# everything (including UnInst.exe itself), reports it, and is itself gone when it has
# ended (its empty folder goes at the next restart).
. "$(dirname "$0")/lib/common.sh"

# A folder whose names hold 0x5C trail bytes; the user typed it with a trailing "\",
# so the shortcuts and the registry value carry it that way (C:\...\\update.exe).
FOLDER='C:\payload-e2e\ソフト表\korvani'
TYPED="$FOLDER\\"
USER_TEMP=$(unix_path "$(drv folder temp)")
WINDOWS_TEMP=$(drive_c windows/temp)
copies_in_temp() { find "$USER_TEMP" "$WINDOWS_TEMP" -maxdepth 1 -iname 'korvani-uninst-*' 2>/dev/null | sort; }
programs_in_temp() { find "$USER_TEMP" "$WINDOWS_TEMP" -maxdepth 2 -iname 'korvani-uninst*.exe' 2>/dev/null | sort; }
# The copy of this run: one new folder in the Windows folder's Temp, holding the program.
copy_in_windows_temp() {
  local new
  new=$(comm -13 <(echo "$leftover_copies") <(copies_in_temp))
  echo "$new"
  [ "$(dirname "$new")" = "$WINDOWS_TEMP" ] && [ -f "$new/korvani-uninst.exe" ]
}
clear_installation "$FOLDER"
rm -rf "$(unix_path 'C:\payload-e2e')"
trap 'rm -rf "$(unix_path "C:\\payload-e2e")"; e2e_cleanup' EXIT
check "an installation is laid out" lay_out_installation "$FOLDER" "$TYPED"
# The value that an earlier release wrote into the 64-bit registry view.
check "an earlier release's value is laid out" drv regset "$KEY64" Path "$TYPED"
before=$(installation_state "$FOLDER")
echo "$before"
same "the layout has the five files" "$(grep -c '^file ' <<<"$before")" 5
same "the layout has the three Start-menu shortcuts" "$(grep -c '^startmenu .*\.lnk$' <<<"$before")" 3
check "the layout has the desktop shortcut" grep -qx 'desktop link' <<<"$before"
check "the layout has the registry value" grep -qxF "registry Path=$TYPED" <<<"$before"
leftover_copies=$(copies_in_temp)
leftover_programs=$(programs_in_temp)

# 1. "No": nothing is removed, and no copy is started.
uninstall_answer "answering no" "$FOLDER\\UnInst.exe" $IDNO 1 payload_uninstall_question
echo "$QUESTION"
check "the question names the folder" grep -qxF "$FOLDER" <<<"$QUESTION"
same "answering no removes nothing" "$(installation_state "$FOLDER")" "$before"
# A copy would have been started before UnInst.exe ended.
check "answering no starts no copy" drv noproc korvani-uninst 0
same "answering no leaves no copy in a temporary folder" "$(copies_in_temp)" "$leftover_copies"

# 2. "Yes": everything goes.
# UnInst.exe hands over and ends with 0; the copy reports that the uninstallation is complete.
uninstall_answer "answering yes" "$FOLDER\\UnInst.exe" $IDYES 0
check "the removing copy runs from a new folder of the Windows folder's Temp" copy_in_windows_temp
uninstall_report "answering yes" "${PRODUCT}をアンインストールしました。" payload_uninstall_report

linux=$(unix_path "$FOLDER")
for f in "${INSTALLED_FILES[@]}"; do
  check "$f is removed" [ ! -e "$linux/$f" ]
done
check "the installation folder is removed" [ ! -e "$linux" ]
check "its parent folder is left alone" [ -d "$(dirname "$linux")" ]
check "the Start-menu folder with its shortcuts is removed" [ ! -e "$MENU" ]
check "the desktop shortcut is removed" [ ! -e "$DESKTOP/${PRODUCT}.lnk" ]
same "the emptied key korv is removed" "$(drv regvalue "$KEY" Path)" "missing key"
same "the emptied key Tolvar Co.,Ltd. is removed" "$(drv regvalue "$KEY_PARENT" Path)" "missing key"
same "the earlier release's key is removed" "$(drv regvalue "$KEY64_PARENT" Path)" "missing key"
same "nothing of the installation is left" "$(installation_state "$FOLDER")" ""
same "the copy is gone" "$(programs_in_temp)" "$leftover_programs"
e2e_finish
