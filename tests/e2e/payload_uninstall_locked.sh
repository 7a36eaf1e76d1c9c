#!/bin/bash
# UnInst.exe when something cannot or must not be removed: a file held open without
# sharing by another process is reported (with the reason) and everything else is still
# removed; a desktop shortcut of the same name that starts a program elsewhere, and a
# registry key that holds other values, are kept.
. "$SOURCE_DIR/tests/e2e/payloadprobe/common.bash"

FOLDER='C:\payload-e2e\表\korvani'
OTHER='C:\payload-e2e\other\update.exe'
clear_installation "$FOLDER"
rm -rf "$(unix_path 'C:\payload-e2e')"
lay_out_installation "$FOLDER" "$FOLDER" "$OTHER" || { echo "FAIL: cannot lay out the installation"; exit 1; }
probe regset "$REG_KEY" Other keep >/dev/null
linux=$(unix_path "$FOLDER")

# A helper process holds korvani.cnt open without sharing until it is released.
wine_run "$PROBE" hold "$FOLDER\\korvani.cnt" &
holder=$!
check "the helper holds korvani.cnt" probe held "$WAIT_MS"

wine_run "$FOLDER\\UnInst.exe" &
uninst=$!
probe press "$UNINSTALL_CAPTION" "$IDYES" "$WAIT_MS"
wait "$uninst"
check "answering yes hands over and ends with exit code 0" [ "$?" -eq 0 ]
report=$(probe msgbox "$UNINSTALL_CAPTION" "$WAIT_MS")
check "the copy reports" [ "$?" -eq 0 ]
echo "$report"
screenshot payload_uninstall_locked_report
check "the report does not claim success" [ -z "$(grep 'アンインストールしました' <<<"$report")" ]
check "the report says something could not be removed" grep -q '削除できませんでした' <<<"$report"
check "the report names the held file" grep -qxF "$FOLDER\\korvani.cnt" <<<"$report"
check "the report gives the reason" grep -q 'ほかのプログラムが使用中です' <<<"$report"
check "the report names the folder that stays" grep -qxF "$FOLDER" <<<"$report"
check "the report names the desktop shortcut that stays" \
  grep -qF "$(desktop_folder)\\${PRODUCT}.lnk" <<<"$report"
check "the report says why it stays" grep -q 'ほかのフォルダーのプログラムを指しています' <<<"$report"
probe press "$UNINSTALL_CAPTION" "$IDOK" "$WAIT_MS"
check "the copy ends after the report" probe noproc korvani-uninst "$WAIT_MS"

check "the held file is still there" [ -f "$linux/korvani.cnt" ]
for f in UnInst.exe update.exe korvani.exe KORVANI.HLP; do
  check "$f is removed all the same" [ ! -e "$linux/$f" ]
done
check "the folder stays, as it is not empty" [ -d "$linux" ]
check "the Start-menu folder is removed" [ ! -e "$(unix_path "$(programs_folder)\\コルヴァニ")" ]
check "the desktop shortcut to another folder is kept" \
  [ -f "$(unix_path "$(desktop_folder)\\${PRODUCT}.lnk")" ]
check "the registry value Path is removed" [ "$(probe regget "$REG_KEY" Path; echo "rc=$?")" = "rc=1" ]
check "the key with another value is kept" [ "$(probe regget "$REG_KEY" Other)" = "keep" ]

probe release >/dev/null
wait "$holder"
clear_installation "$FOLDER"
rm -rf "$(unix_path 'C:\payload-e2e')"
finish
