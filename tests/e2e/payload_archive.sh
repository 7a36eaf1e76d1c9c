#!/bin/bash
# The payload archive as the build made it: the packer lists and verifies it, it holds
# the five files in the installer's order under their exact names, it extracts to the
# very files that were built, and the help texts are Shift-JIS with CRLF line ends.
set -u
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
ARCHIVE="$BUILD_DIR/payload/korvani.tlz"
FILES="$BUILD_DIR/payload/files"
NAMES=(UnInst.exe update.exe korvani.cnt korvani.exe KORVANI.HLP)
TLZPACK=$(sed -n 's/^TLZPACK_EXECUTABLE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then ok "$what"; else fail "$what"; fi; }

if [ -z "$TLZPACK" ] || [ ! -x "$TLZPACK" ]; then
  echo "FAIL: no packer configured in $BUILD_DIR (TLZPACK_EXECUTABLE)"
  exit 1
fi
check "the archive was built" [ -s "$ARCHIVE" ]

listing=$("$TLZPACK" list "$ARCHIVE")
check "tlzpack list succeeds" [ "$?" -eq 0 ]
echo "$listing"
# Entry lines: NAME SIZE STREAM OFFSET (header and total lines have other shapes).
entries=$(awk 'NF == 4 && $2 ~ /^[0-9]+$/ {print $1, $2}' <<<"$listing")
expected=""
for n in "${NAMES[@]}"; do expected+="$n $(stat -c %s "$FILES/$n")"$'\n'; done
check "the entries are the five files, in order, with their sizes" \
  [ "$entries" = "${expected%$'\n'}" ]

check "tlzpack verify accepts it" "$TLZPACK" verify "$ARCHIVE"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check "tlzpack extract succeeds" "$TLZPACK" extract "$ARCHIVE" "$work/out"
for n in "${NAMES[@]}"; do
  check "$n extracts to the built file" cmp -s "$FILES/$n" "$work/out/$n"
done

# The names are stored byte for byte as given (the first entry's header).
check "the first header is length 10 and \"UnInst.exe\"" \
  [ "$(head -c 11 "$ARCHIVE" | od -An -tx1 | tr -d ' \n')" = "0a556e496e73742e657865" ]

# A damaged archive must be refused (the check above can fail).
head -c $(($(stat -c %s "$ARCHIVE") - 7)) "$ARCHIVE" >"$work/cut.tlz"
if "$TLZPACK" verify "$work/cut.tlz" >/dev/null 2>&1; then
  fail "tlzpack verify refuses an archive cut short"
else
  ok "tlzpack verify refuses an archive cut short"
fi

# The help texts: Shift-JIS with CRLF, the same text as their UTF-8 sources.
for n in korvani.cnt KORVANI.HLP; do
  src="$SOURCE_DIR/payload/data/$n.txt"
  check "$n is valid Shift-JIS (code page 932)" iconv -f CP932 -t UTF-8 "$FILES/$n" -o /dev/null
  check "$n has the text of its source" \
    cmp -s <(iconv -f CP932 -t UTF-8 "$FILES/$n" | tr -d '\r') "$src"
  check "every line of $n ends in CRLF" \
    [ "$(grep -c $'\r$' "$FILES/$n")" -eq "$(wc -l <"$FILES/$n")" ]
  check "$n is not plain ASCII" grep -qP '[\x80-\xFF]' "$FILES/$n"
done

# The programs use only the system's DLLs.
OBJDUMP=$(command -v x86_64-w64-mingw32-objdump)
if [ -n "$OBJDUMP" ]; then
  for n in UnInst.exe update.exe korvani.exe; do
    dlls=$("$OBJDUMP" -p "$FILES/$n" | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
    bad=$(tr ' ' '\n' <<<"$dlls" | grep -vxE '|KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|SHELL32.DLL|OLE32.DLL|MSVCRT.DLL')
    check "$n imports only system DLLs ($dlls)" [ -z "$bad" ]
  done
fi

if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all checks passed"
