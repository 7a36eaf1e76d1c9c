#!/bin/bash
# The payload archive as the build made it: the packer lists and verifies it, it holds
# the five files in the installer's order under their exact names, it extracts to the
# very files that were built, the help texts are Shift-JIS with CRLF line ends, and the
# programs, Setup.exe too, import only the system's known DLLs.
. "$(dirname "$0")/lib/common.sh"
OBJDUMP=$(command -v x86_64-w64-mingw32-objdump)
if [ -z "$TLZPACK" ] || [ ! -x "$TLZPACK" ]; then
  fail "no packer configured in $BUILD_DIR (TLZPACK_EXECUTABLE)"
  e2e_finish
fi
[ -n "$OBJDUMP" ] || fail "x86_64-w64-mingw32-objdump is missing (binutils-mingw-w64): the imports cannot be checked"
check "the archive was built" [ -s "$ARCHIVE" ]

listing=$("$TLZPACK" list "$ARCHIVE")
same "tlzpack list succeeds" "$?" 0
echo "$listing"
# Entry lines: NAME SIZE STREAM OFFSET (header and total lines have other shapes).
entries=$(awk 'NF == 4 && $2 ~ /^[0-9]+$/ {print $1, $2}' <<<"$listing")
expected=""
for n in "${INSTALLED_FILES[@]}"; do expected+="$n $(stat -c %s "$PAYLOAD_FILES/$n")"$'\n'; done
same "the entries are the five files, in order, with their sizes" "$entries" "${expected%$'\n'}"
check "tlzpack verify accepts it" "$TLZPACK" verify "$ARCHIVE"
check "tlzpack extract succeeds" "$TLZPACK" extract "$ARCHIVE" "$E2E_TMP/out"
for n in "${INSTALLED_FILES[@]}"; do
  check "$n extracts to the built file" cmp -s "$PAYLOAD_FILES/$n" "$E2E_TMP/out/$n"
done
# The names are stored byte for byte as given (the first entry's header).
same "the first header is length 10 and \"UnInst.exe\"" \
  "$(head -c 11 "$ARCHIVE" | od -An -tx1 | tr -d ' \n')" "0a556e496e73742e657865"

# The help texts: Shift-JIS with CRLF, the same text as their UTF-8 sources.
for n in korvani.cnt KORVANI.HLP; do
  f="$PAYLOAD_FILES/$n"
  check "$n is valid Shift-JIS (code page 932)" iconv -f CP932 -t UTF-8 "$f" -o /dev/null
  check "$n has the text of its source" \
    cmp -s <(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r') "$SOURCE_DIR/payload/data/$n.txt"
  same "every line of $n ends in CRLF" "$(grep -c $'\r$' "$f")" "$(wc -l <"$f")"
  check "$n is not plain ASCII" grep -qP '[\x80-\xFF]' "$f"
done

# The four programs import only DLLs that Windows 10 and 11 load from the system folder
# whatever lies beside a program (its known DLLs); the rest is loaded at run time.
if [ -n "$OBJDUMP" ]; then
  for f in "$SETUP_EXE" "$PAYLOAD_FILES"/{UnInst.exe,update.exe,korvani.exe}; do
    n=$(basename "$f")
    dlls=$("$OBJDUMP" -p "$f" | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
    bad=$(tr ' ' '\n' <<<"$dlls" | grep -vxE '|(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMDLG32|SHLWAPI|MSVCRT|IMM32|WS2_32|SETUPAPI|COMBASE|RPCRT4|SECHOST|SHCORE)\.DLL')
    check "$n imports some DLLs ($dlls)" grep -q KERNEL32 <<<"$dlls"
    same "$n imports only known DLLs" "$bad" ""
  done
fi
e2e_finish
