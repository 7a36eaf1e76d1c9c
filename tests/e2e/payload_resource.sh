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

# The manifests Windows reads when it starts each program (resource 1 of type 24), from
# Setup.exe and from the programs inside its payload: well-formed XML, the execution
# level, Windows Vista, 7, 8, 8.1 and 10/11 as supported, no common controls 6 and no
# DPI declaration.
SUPPORTED="{1f676c76-80e1-4239-95bb-83d0f6d0da78} {35138b9a-5d96-4fbd-8e2d-a2440225f93a}\
 {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\
 {e2011457-1546-43c5-a5fe-008deee3d3f0}"
manifest_is() {  # program level
  local name m
  name=$(basename "$1"); m="$work/$name.manifest"
  if ! probe resource "$(dos_path "$1")" '#24' '#1' "$(dos_path "$m")" >/dev/null; then
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
if [ -x "$TLZPACK" ] && "$TLZPACK" extract "$work/resource.tlz" "$work/files" >/dev/null; then
  manifest_is "$SETUP_EXE" requireAdministrator
  manifest_is "$work/files/UnInst.exe" requireAdministrator
  manifest_is "$work/files/korvani.exe" asInvoker
  manifest_is "$work/files/update.exe" asInvoker
else
  fail "the payload could not be extracted to read its programs' manifests"
fi
finish
