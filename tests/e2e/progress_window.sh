#!/bin/bash
# The progress window during a slow extraction: a copy of Setup.exe carries a large
# payload made for the test, and the window is looked at while it works: its caption,
# size, frame, the file being written, the hidden file bar and the overall bar.
. "$(dirname "$0")/lib/common.sh"

# Six files of 25 MB of noise, stored as literals only (a flag byte 0xFF before every
# eight bytes is a valid stream): large, and quick to make.
mkdir -p "$(drive_c progress-test)"
python3 - "$E2E_TMP" <<'PY' || fail "making the large payload"
import os, sys
folder = sys.argv[1]
names = ["大きなファイル1.bin", "data\\2.bin", "3.bin", "4.bin", "5.bin", "6.bin"]
size = 25 * 1000 * 1000  # a multiple of 8
with open(os.path.join(folder, "big.tlz"), "wb") as archive:
    for i, name in enumerate(names):
        data = os.urandom(size)
        if i == 1:
            with open(os.path.join(folder, "2.bin"), "wb") as f:
                f.write(data)
        stream = bytearray(size // 8 * 9)
        stream[0::9] = b"\xff" * (size // 8)
        for k in range(8):
            stream[k + 1::9] = data[k::8]
        encoded = name.encode("cp932")
        archive.write(bytes([len(encoded)]) + encoded + size.to_bytes(4, "little") + stream)
PY
BIG_EXE="$(drive_c progress-test/Setup.exe)"
cp "$SETUP_EXE" "$BIG_EXE"
drv setresource "$(wine winepath -w "$BIG_EXE" 2>/dev/null 9>&-)" TLZ KORVANISLIP \
  "$(wine winepath -w "$E2E_TMP/big.tlz" 2>/dev/null 9>&-)" || fail "could not replace the payload"
drv regdelete 'HKLM\Software\Tolvar Co.,Ltd.' >/dev/null

start_setup "$BIG_EXE"
drv settext 'TSetupForm|' class=Edit 'c:\progress-test\korvani'
drv click 'TSetupForm|' 'セットアップ開始'
# peek waits for the window and reads it at once, without a message to the busy thread.
# The window is painted after each file, so the picture is taken once one is written.
if drv peek 'TCompressForm|' >"$E2E_TMP/peek"; then
  # Once the label names the third file, the first two have been painted.
  for i in $(seq 1 100); do
    drv peek 'TCompressForm|' >"$E2E_TMP/peek" 2>/dev/null || break
    grep -q 'text=c:.*\\[3-6]\.bin$' "$E2E_TMP/peek" && break
  done
  screenshot progress_window
  sed 's/^/  | /' "$E2E_TMP/peek"
  expect_line "$E2E_TMP/peek" "caption=進捗状況" "caption"
  grep -q '^client=0,0 199x135$' "$E2E_TMP/peek" && pass "client area 199 x 135" || fail "client area"
  style=$(sed -n 's/^window .* style=\([0-9a-f]*\) exstyle=\([0-9a-f]*\)$/\1 \2/p' "$E2E_TMP/peek")
  st=$((16#${style% *})); ex=$((16#${style#* }))
  [ $((st & 0x00080000)) -eq 0 ] && pass "no system menu or close box" || fail "system menu present"
  [ $((ex & 0x00000008)) -ne 0 ] && pass "stays on top" || fail "not topmost"
  [ $((ex & 0x00000001)) -ne 0 ] && pass "dialog frame" || fail "no dialog frame"
  grep -qE '^control .* class=msctls_progress32 rect=10,38 180x17 visible=0 ' "$E2E_TMP/peek" &&
    pass "FileBar hidden" || fail "FileBar"
  grep -qE '^control .* class=msctls_progress32 rect=10,94 180x17 visible=1 style=[0-9a-f]*[13579bdf] ' "$E2E_TMP/peek" &&
    pass "AllBar visible and smooth" || fail "AllBar"
  grep -q '^control .* class=Static rect=10,66 .* text=セットアップ状況$' "$E2E_TMP/peek" && pass "Label2" || fail "Label2"
  grep -qE '^control .* class=Static rect=10,20 .* text=c:\\progress-test\\korvani\\' "$E2E_TMP/peek" &&
    pass "Label1 shows the file being written" || fail "Label1"
else
  fail "the progress window did not appear"
fi
if drv wait 'TMessageForm|' 120000 >/dev/null; then
  drv dump 'TMessageForm|' | grep -q 'text=セットアップが正常に終了しました$' && pass "finished" || fail "final message"
  drv click 'TMessageForm|' OK >/dev/null
fi
wait_setup_exit
check "$SETUP_RC" 0 "exit code"
cmp -s "$(drive_c 'progress-test/korvani/data/2.bin')" "$E2E_TMP/2.bin" && pass "large file intact" ||
  fail "large file differs"
rm -rf "$(drive_c progress-test)"
drv regdelete 'HKLM\Software\Tolvar Co.,Ltd.' >/dev/null
e2e_finish
