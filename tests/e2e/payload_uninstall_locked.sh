#!/bin/bash
# UnInst.exe when something cannot or must not be removed: a file held open without
# sharing by another process is reported (with the reason) and everything else is still
# removed; a desktop shortcut of the same name that starts a program elsewhere, and a
# registry key that holds other values, are kept.
. "$(dirname "$0")/lib/common.sh"

FOLDER='C:\payload-e2e\表\korvani'
OTHER='C:\payload-e2e\other\update.exe'
clear_installation "$FOLDER"
rm -rf "$(unix_path 'C:\payload-e2e')"
trap 'drv release 2>/dev/null; clear_installation "$FOLDER"; rm -rf "$(unix_path "C:\\payload-e2e")"; e2e_cleanup' EXIT
check "an installation is laid out" lay_out_installation "$FOLDER" "$FOLDER" "$OTHER"
drv regset "$KEY" Other keep
linux=$(unix_path "$FOLDER")

# A helper process holds korvani.cnt open without sharing until it is released.
drv hold "$FOLDER\\korvani.cnt" &
holder=$!
check "the helper holds korvani.cnt" drv held "$WAIT_MS"

# UnInst.exe hands over and ends with 0; the copy reports what it could not remove.
uninstall_answer "answering yes" "$FOLDER\\UnInst.exe" $IDYES 0
uninstall_report "answering yes" '*削除できませんでした*' payload_uninstall_locked_report
echo "$REPORT"
check "the report does not claim success" [ -z "$(grep 'アンインストールしました' <<<"$REPORT")" ]
check "the report names the held file" grep -qxF "$FOLDER\\korvani.cnt" <<<"$REPORT"
check "the report gives the reason" grep -q 'ほかのプログラムが使用中です' <<<"$REPORT"
check "the report names the folder that stays" grep -qxF "$FOLDER" <<<"$REPORT"
check "the report names the desktop shortcut that stays" grep -qF "$DESKTOP_WIN\\${PRODUCT}.lnk" <<<"$REPORT"
check "the report says why it stays" grep -q 'ほかのフォルダーのプログラムを指しています' <<<"$REPORT"

check "the held file is still there" [ -f "$linux/korvani.cnt" ]
for f in UnInst.exe update.exe korvani.exe KORVANI.HLP; do
  check "$f is removed all the same" [ ! -e "$linux/$f" ]
done
check "the folder stays, as it is not empty" [ -d "$linux" ]
check "the Start-menu folder is removed" [ ! -e "$MENU" ]
check "the desktop shortcut to another folder is kept" [ -f "$DESKTOP/${PRODUCT}.lnk" ]
same "the registry value Path is removed" "$(drv regvalue "$KEY" Path)" "missing value"
same "the key with another value is kept" "$(reg_text "$KEY" Other)" "keep"

drv release
wait "$holder"
e2e_finish
