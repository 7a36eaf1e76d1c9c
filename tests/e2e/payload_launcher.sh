#!/bin/bash
# update.exe, the launcher of the shortcuts: it starts korvani.exe from its own folder
# (the sample window then shows that folder), and says so when korvani.exe is missing.
. "$(dirname "$0")/lib/common.sh"

FOLDER='C:\payload-e2e\ソフト表\korvani'
LINUX=$(unix_path "$FOLDER")
rm -rf "$(unix_path 'C:\payload-e2e')"
trap 'rm -rf "$(unix_path "C:\\payload-e2e")"; e2e_cleanup' EXIT
mkdir -p "$LINUX"
for f in "${INSTALLED_FILES[@]}"; do cp "$PAYLOAD_FILES/$f" "$LINUX/"; done
check "no sample window is open before" drv gone "$APP_WINDOW" 5000

# 1. The launcher starts the application and ends at once.
run_win "$FOLDER\\update.exe"
same "update.exe exits with 0 after starting the application" "$?" 0
check "the application's window appears" drv wait "$APP_WINDOW" "$WAIT_MS"
drv dump "$APP_WINDOW" >"$E2E_TMP/window"
sed 's/^/  | /' "$E2E_TMP/window"
screenshot payload_korvani_window
expect_line "its title is the product name" "$E2E_TMP/window" "caption=$PRODUCT"
check "it shows its own folder" grep -qE "^control id=103 class=Edit .* text=${FOLDER//\\/\\\\}\$" "$E2E_TMP/window"
check "it says that it is a sample without the real function" \
  grep -q 'サンプルです.*領収書を発行する機能はありません' "$E2E_TMP/window"
drv close "$APP_WINDOW"
check "the window closes with its close box" drv gone "$APP_WINDOW" "$WAIT_MS"
check "and the application ends" drv noproc korvani.exe "$WAIT_MS"

# 2. Without korvani.exe beside it, the launcher says so and starts nothing, not even
# the korvani.exe of its current folder.
rm "$LINUX/korvani.exe"
OTHER=$(unix_path 'C:\payload-e2e\other')
mkdir -p "$OTHER" && cp "$PAYLOAD_FILES/korvani.exe" "$OTHER/"
MISSING_BOX="#32770|$PRODUCT"
(cd "$OTHER" && run_win "$FOLDER\\update.exe") &
launcher=$!
E2E_PIDS="$E2E_PIDS $launcher"
check "a message box reports the missing program" drv wait "$MISSING_BOX" "$WAIT_MS"
text=$(message_text "$MISSING_BOX")
echo "$text"
screenshot payload_update_missing
check "the message names the missing file" grep -qF "$FOLDER\\korvani.exe" <<<"$text"
check "the message says it was not found" grep -q '見つかりません' <<<"$text"
drv click "$MISSING_BOX" $IDOK
wait "$launcher"
same "update.exe exits with 1 when the program is missing" "$?" 1
# A started program is listed from the moment it is created.
check "no korvani.exe was started" drv noproc korvani.exe 0
e2e_finish
