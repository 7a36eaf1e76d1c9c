#!/bin/bash
# update.exe, the launcher of the shortcuts: it starts korvani.exe from its own folder
# (the sample window then shows that folder), and says so when korvani.exe is missing.
. "$SOURCE_DIR/tests/e2e/payloadprobe/common.bash"

FOLDER='C:\payload-e2e\ソフト表\korvani'
LINUX=$(unix_path "$FOLDER")
rm -rf "$(unix_path 'C:\payload-e2e')"
mkdir -p "$LINUX"
for f in "${INSTALLED_FILES[@]}"; do cp "$PAYLOAD_FILES/$f" "$LINUX/"; done
probe close "$APP_CLASS" 5000 >/dev/null 2>&1  # none should be open; make sure

# 1. The launcher starts the application and ends at once.
wine_run "$FOLDER\\update.exe"
check "update.exe exits with 0 after starting the application" [ "$?" -eq 0 ]
window=$(probe window "$APP_CLASS" "$WAIT_MS")
check "the application's window appears" [ "$?" -eq 0 ]
echo "$window"
screenshot payload_korvani_window
check "its title is the product name" grep -qxF "title	$PRODUCT" <<<"$window"
check "it shows its own folder" grep -qxF "103	Edit	$FOLDER" <<<"$window"
check "it says that it is a sample without the real function" \
  grep -q 'サンプルです.*領収書を発行する機能はありません' <<<"$window"
check "the window closes with WM_CLOSE" probe close "$APP_CLASS" "$WAIT_MS"

# 2. Without korvani.exe beside it, the launcher says so and starts nothing.
rm "$LINUX/korvani.exe"
wine_run "$FOLDER\\update.exe" &
launcher=$!
text=$(probe msgbox "$PRODUCT" "$WAIT_MS")
check "a message box reports the missing program" [ "$?" -eq 0 ]
echo "$text"
screenshot payload_update_missing
check "the message names the missing file" grep -qF "$FOLDER\\korvani.exe" <<<"$text"
check "the message says it was not found" grep -q '見つかりません' <<<"$text"
probe press "$PRODUCT" "$IDOK" "$WAIT_MS"
wait "$launcher"
check "update.exe exits with 1 when the program is missing" [ "$?" -eq 1 ]
check "no application window was opened" [ -z "$(probe window "$APP_CLASS" 500 | grep '^title')" ]

rm -rf "$(unix_path 'C:\payload-e2e')"
finish
