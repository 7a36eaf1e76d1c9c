#!/bin/bash
# The payload inside Setup.exe: the resource of type "TLZ" named "KORVANISLIP" is byte
# for byte the archive that the packer wrote, found also in other letter cases, as the
# installer looks it up. Then the four programs (Setup.exe and the three in its payload):
# manifests, version resources and the stack protector.
. "$(dirname "$0")/lib/common.sh"

check "the archive was built" [ -s "$ARCHIVE" ]
check "Setup.exe carries the resource TLZ/KORVANISLIP" \
  drv resource "$(dos_path "$SETUP_EXE")" TLZ KORVANISLIP "$(dos_path "$E2E_TMP/resource.tlz")"
check "the resource is byte for byte the packed archive" cmp "$ARCHIVE" "$E2E_TMP/resource.tlz"
check "it is found as tlz/korvanislip too" \
  drv resource "$(dos_path "$SETUP_EXE")" tlz korvanislip "$(dos_path "$E2E_TMP/lower.tlz")"
check "with the same bytes" cmp "$ARCHIVE" "$E2E_TMP/lower.tlz"

# The manifests Windows reads when it starts each program (resource 1 of type 24), from
# Setup.exe and from the programs inside its payload: well-formed XML, the execution
# level, Windows Vista, 7, 8, 8.1 and 10/11 as supported, no common controls 6 and no
# DPI declaration.
SUPPORTED="{1f676c76-80e1-4239-95bb-83d0f6d0da78} {35138b9a-5d96-4fbd-8e2d-a2440225f93a}\
 {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\
 {e2011457-1546-43c5-a5fe-008deee3d3f0}"
manifest_is() {  # program level
  local name m
  name=$(basename "$1"); m="$E2E_TMP/$name.manifest"
  if ! drv resource "$(dos_path "$1")" '#24' '#1' "$(dos_path "$m")" >/dev/null; then
    fail "$name has no manifest"; return
  fi
  python3 - "$m" >"$m.read" <<'PY' || { fail "$name: the manifest is no well-formed XML"; return; }
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
local = lambda e: e.tag.split('}')[-1]
every = list(root.iter())
for e in every:
    if local(e) == 'requestedExecutionLevel':
        print('level', e.get('level'), 'uiAccess', e.get('uiAccess'))
print('os', ' '.join(sorted(e.get('Id').lower() for e in every if local(e) == 'supportedOS')))
print('dependencies', sum(local(e) == 'dependency' for e in every))
print('dpi', sum(local(e) in ('dpiAware', 'dpiAwareness') for e in every))
PY
  check "$name: level $2" grep -qx "level $2 uiAccess false" "$m.read"
  check "$name: supports Windows Vista to 10/11" grep -qxF "os $SUPPORTED" "$m.read"
  check "$name: no common controls 6" grep -qx 'dependencies 0' "$m.read"
  check "$name: no DPI declaration" grep -qx 'dpi 0' "$m.read"
}

# The version resource as Windows reads it for the file's properties and the elevation
# prompt (which shows the description): Japanese in code page 932, the product's version.
version_is() {  # program description
  local name v
  name=$(basename "$1"); v="$E2E_TMP/$name.version"
  drv version "$(dos_path "$1")" >"$v" || { fail "$name has no version resource"; return; }
  same "$name: version resource" "$(cat "$v")" "translation 041103a4
fixed file $PRODUCT_VERSION.0 product $PRODUCT_VERSION.0
CompanyName=Tolvar Co.,Ltd.
FileDescription=$2
FileVersion=$PRODUCT_VERSION
LegalCopyright=Copyright (C) Tolvar Co.,Ltd.
OriginalFilename=$name
ProductName=$PRODUCT
ProductVersion=$PRODUCT_VERSION"
}

# program_is PROGRAM LEVEL DESCRIPTION: its manifest, its version resource, and the stack
# protector's check (its message is in the program only when the check is linked in).
program_is() {
  manifest_is "$1" "$2"
  version_is "$1" "$3"
  check "$(basename "$1"): stack protector" grep -qaF '*** stack smashing detected ***' "$1"
}
if [ -x "$TLZPACK" ] && "$TLZPACK" extract "$E2E_TMP/resource.tlz" "$E2E_TMP/files" >/dev/null; then
  program_is "$SETUP_EXE" requireAdministrator "$PRODUCT セットアップ"
  program_is "$E2E_TMP/files/UnInst.exe" requireAdministrator "$PRODUCT アンインストール"
  program_is "$E2E_TMP/files/korvani.exe" asInvoker "$PRODUCT"
  program_is "$E2E_TMP/files/update.exe" asInvoker "$PRODUCT 起動"
else
  fail "the payload could not be extracted to read its programs"
fi
e2e_finish
