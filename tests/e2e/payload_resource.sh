#!/bin/bash
# The payload inside Setup.exe: the resource of type "TLZ" named "KORVANISLIP" is byte
# for byte the archive that the packer wrote, found also in other letter cases, as the
# installer looks it up.
. "$(dirname "$0")/lib/common.sh"

check "the archive was built" [ -s "$ARCHIVE" ]
check "Setup.exe carries the resource TLZ/KORVANISLIP" \
  drv resource "$(dos_path "$SETUP_EXE")" TLZ KORVANISLIP "$(dos_path "$E2E_TMP/resource.tlz")"
check "the resource is byte for byte the packed archive" cmp "$ARCHIVE" "$E2E_TMP/resource.tlz"
check "it is found as tlz/korvanislip too" \
  drv resource "$(dos_path "$SETUP_EXE")" tlz korvanislip "$(dos_path "$E2E_TMP/lower.tlz")"
check "with the same bytes" cmp "$ARCHIVE" "$E2E_TMP/lower.tlz"
e2e_finish
