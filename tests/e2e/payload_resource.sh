#!/bin/bash
# The payload inside Setup.exe: the resource of type "TLZ" named "KORVANISLIP" is byte
# for byte the archive that the packer wrote, and it verifies.
. "$SOURCE_DIR/tests/e2e/payloadprobe/common.bash"
: "${SETUP_EXE:?}"
ARCHIVE="$PAYLOAD_DIR/korvani.tlz"
TLZPACK=$(sed -n 's/^TLZPACK_EXECUTABLE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=$(probe resource "$(dos_path "$SETUP_EXE")" TLZ KORVANISLIP "$(dos_path "$work/resource.tlz")")
rc=$?
echo "$out"
if [ "$rc" -eq 3 ] && ! grep -rqs 'KORVANI_PAYLOAD_ARCHIVE' "$SOURCE_DIR/src"; then
  # Until the installer's build takes up the archive there is nothing to compare.
  echo "Setup.exe does not embed the payload yet (no KORVANI_PAYLOAD_ARCHIVE in src/): skipped"
  exit 0
fi
check "Setup.exe carries the resource TLZ/KORVANISLIP" [ "$rc" -eq 0 ]
check "the archive was built" [ -s "$ARCHIVE" ]
check "the resource is byte for byte the packed archive" cmp "$ARCHIVE" "$work/resource.tlz"
if [ -x "$TLZPACK" ]; then
  check "the resource verifies" "$TLZPACK" verify "$work/resource.tlz"
else
  fail "no packer configured in $BUILD_DIR (TLZPACK_EXECUTABLE)"
fi
# Resource names match without regard to case, as the installer looks them up.
check "it is found as tlz/korvanislip too" \
  probe resource "$(dos_path "$SETUP_EXE")" tlz korvanislip "$(dos_path "$work/lower.tlz")"
finish
