#!/bin/bash
# The progress window during a slow extraction: a copy of Setup.exe carries a large
# payload made for the test, and the window is looked at while it works: its caption,
# size, frame, the file being written, the hidden file bar and the overall bar. Another
# program that rewrites work.tmp meanwhile changes nothing that is installed.
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
        if i in (1, 5):
            with open(os.path.join(folder, f"{i + 1}.bin"), "wb") as f:
                f.write(data)
        stream = bytearray(size // 8 * 9)
        stream[0::9] = b"\xff" * (size // 8)
        for k in range(8):
            stream[k + 1::9] = data[k::8]
        encoded = name.encode("cp932")
        archive.write(bytes([len(encoded)]) + encoded + size.to_bytes(4, "little") + stream)
PY
BIG_EXE="$(drive_c progress-test/Setup.exe)"
payload_copy "$SETUP_EXE" "$BIG_EXE" "$E2E_TMP/big.tlz"
drv regdelete "$KEY_PARENT"
trap 'rm -rf "$(drive_c progress-test)"; drv regdelete "$KEY_PARENT"; e2e_cleanup' EXIT

start_install "$BIG_EXE" 'c:\progress-test\korvani'
# The installer first writes the whole payload to work.tmp, then shows the window. The
# label names each file when its extraction begins and is painted after each file, so
# once it names a third file the first two are on the screen. The driver then holds
# the installer's thread while the window is read and pictured: the system still
# answers for its rectangles, styles and texts, and nothing moves meanwhile.
LABEL1=100
if drv freeze 'TCompressForm|' $LABEL1 'c:\progress-test\korvani\?.bin' 300000 >"$E2E_TMP/peek"; then
  screenshot progress_window
  same "the window stands still while the installer is held" "$(drv peek 'TCompressForm|')" "$(cat "$E2E_TMP/peek")"
  # Meanwhile another program of the user writes its own bytes over the end of work.tmp,
  # the end of 6.bin's stream (whole groups of a flag byte and eight literals), which the
  # installer has not read yet.
  head -c 9000 /dev/zero | tr '\0' '\377' >"$E2E_TMP/other.bin"
  drv overwrite 'c:\progress-test\work.tmp' $(($(stat -c %s "$E2E_TMP/big.tlz") - 9000)) \
    "$(dos_path "$E2E_TMP/other.bin")"
  check "the installer goes on" drv thaw 'TCompressForm|'
  sed 's/^/  | /' "$E2E_TMP/peek"
  expect_line "caption" "$E2E_TMP/peek" "caption=進捗状況"
  expect_line "client area 199 x 135" "$E2E_TMP/peek" "client=0,0 199x135"
  style=$(sed -n 's/^window .* style=\([0-9a-f]*\) exstyle=\([0-9a-f]*\)$/\1 \2/p' "$E2E_TMP/peek")
  st=$((16#${style% *})); ex=$((16#${style#* }))
  check "no system menu or close box" [ $((st & 0x00080000)) -eq 0 ]
  check "stays on top" [ $((ex & 0x00000008)) -ne 0 ]
  check "dialog frame" [ $((ex & 0x00000001)) -ne 0 ]
  check "FileBar hidden" grep -qE '^control .* class=msctls_progress32 rect=10,38 180x17 visible=0 ' "$E2E_TMP/peek"
  check "AllBar visible and smooth" \
    grep -qE '^control .* class=msctls_progress32 rect=10,94 180x17 visible=1 enabled=1 style=[0-9a-f]*[13579bdf] ' "$E2E_TMP/peek"
  check "Label2" grep -q '^control .* class=Static rect=10,66 .* text=セットアップ状況$' "$E2E_TMP/peek"
  check "Label1 shows the file being written" \
    grep -qE "^control id=$LABEL1 class=Static rect=10,20 .* text=c:\\\\progress-test\\\\korvani\\\\[3-6]\\.bin\$" "$E2E_TMP/peek"
else
  fail "the progress window did not show a third file"
fi
notice finished 'セットアップが正常に終了しました' 300000
wait_setup_exit "exit code"
check "large file intact" cmp -s "$(drive_c 'progress-test/korvani/data/2.bin')" "$E2E_TMP/2.bin"
check "the last file is the payload's, not the other program's" \
  cmp -s "$(drive_c 'progress-test/korvani/6.bin')" "$E2E_TMP/6.bin"
e2e_finish
