#!/bin/bash
# Installations from start to end in a fresh Wine prefix, as a user runs them: the
# default install and what it leaves (folder, registry value, work.tmp, the five files,
# the shortcuts), the box cleared, an existing folder, a folder typed with a trailing
# "\", a second install over the first, the empty field, a folder that cannot be
# created, shortcut 1 failing, a broken payload, and the registry refused.
WINEPREFIX="$BUILD_DIR/wine-prefix-install"
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
export WINEPREFIX
. "$(dirname "$0")/lib/common.sh"

PAYLOAD_FILES="$BUILD_DIR/payload/files"
ARCHIVE="$BUILD_DIR/payload/korvani.tlz"
KEY='HKLM\Software\Tolvar Co.,Ltd.\korv'
DESC='コルヴァニ　領収書発行'

# The installer runs from its own folder in drive C, where it leaves work.tmp. It is
# signed there, as a vendor ships it (lib/signing.sh).
mkdir -p "$(drive_c setup)"
SETUP_COPY="$(drive_c setup/Setup.exe)"
. "$(dirname "$0")/lib/signing.sh"
signed_copy "$SETUP_EXE" "$SETUP_COPY"
PROGRAMS_WIN=$(drv folder 2)
DESKTOP_WIN=$(drv folder 16)
unix_path() { wine winepath -u "$1" 2>/dev/null 9>&-; }
PROGRAMS=$(unix_path "$PROGRAMS_WIN")
DESKTOP=$(unix_path "$DESKTOP_WIN")
MENU="$PROGRAMS/コルヴァニ"

# notice NAME EXPECTED: the message box shows EXPECTED; it is answered with OK.
notice() {
  if ! drv wait 'TMessageForm|' 60000 >/dev/null; then
    fail "$1: no message box"
    return
  fi
  drv dump 'TMessageForm|' >"$E2E_TMP/box"
  screenshot "install_$1"
  grep -q "^caption=コルヴァニ　領収書発行セットアップ$" "$E2E_TMP/box" || fail "$1: caption"
  if grep -q "^control .*class=Static .*text=$2\$" "$E2E_TMP/box"; then
    pass "$1: '$2'"
  else
    fail "$1: the box does not say '$2':"; sed 's/^/    /' "$E2E_TMP/box"
  fi
  drv click 'TMessageForm|' OK >/dev/null
}

# install NAME FOLDER BOX MESSAGE: one run from the dialog to the end of the program.
install() {
  start_setup "$SETUP_COPY"
  if [ "$2" != default ]; then drv settext 'TSetupForm|' class=Edit "$2"; fi
  if [ "$3" = cleared ]; then drv click 'TSetupForm|' 'デスクトップにショートカットを作成する'; fi
  sleep 0.2
  drv click 'TSetupForm|' 'セットアップ開始'
  notice "$1" "$4"
  wait_setup_exit
  check "$SETUP_RC" 0 "$1: exit code"
}

same_file() { cmp -s "$1" "$2" && pass "$3" || fail "$3: $1 differs from $2"; }

# shortcut_is LINK TARGET WORKDIR [ICON]
shortcut_is() {
  local icon=${4:-$2}
  drv shortcut "$(wine winepath -w "$1" 2>/dev/null 9>&-)" >"$E2E_TMP/lnk" || { fail "no shortcut $1"; return; }
  if grep -qxF "target=$2" "$E2E_TMP/lnk" && grep -qxF "workdir=$3" "$E2E_TMP/lnk" &&
     grep -qxF "description=$DESC" "$E2E_TMP/lnk" && grep -qxF "icon=$icon,0" "$E2E_TMP/lnk"; then
    pass "shortcut $(basename "$1") -> $2"
  else
    fail "shortcut $(basename "$1"):"; sed 's/^/    /' "$E2E_TMP/lnk"
  fi
}

installed_files_are_the_payload() {  # UNIX_FOLDER NAME
  for f in UnInst.exe update.exe korvani.cnt korvani.exe KORVANI.HLP; do
    same_file "$1/$f" "$PAYLOAD_FILES/$f" "$2: $f"
  done
}

echo "== the default install"
install default default ticked "セットアップが正常に終了しました"
F='c:\Program Files\Tolvar\korvani'
FU="$(drive_c 'Program Files/Tolvar/korvani')"
installed_files_are_the_payload "$FU" default
check "$(drv regvalue "$KEY" Path)" "type=1 size=$(( $(printf '%s' "$F" | wc -c) + 1 )) text=$F" "registry value Path"
same_file "$(drive_c setup/work.tmp)" "$ARCHIVE" "work.tmp beside Setup.exe is the archive"
shortcut_is "$MENU/$DESC.lnk" "$F\\korvani.exe" "$F"
shortcut_is "$MENU/${DESC}起動.lnk" "$F\\update.exe" "$F"
shortcut_is "$MENU/${DESC}アンインストール.lnk" "$F\\uninst.exe" "$F"
shortcut_is "$DESKTOP/$DESC.lnk" "$F\\update.exe" "$F"
check "$(ls "$MENU" | wc -l)" 3 "three Start-menu shortcuts"

echo "== a second install over the first"
touch -d '2001-01-01' "$FU/korvani.exe" "$MENU/$DESC.lnk"
install again default ticked "セットアップが正常に終了しました"
check "$(find "$FU/korvani.exe" -newermt 2002-01-01 | wc -l)" 1 "again: korvani.exe written anew"
check "$(find "$MENU/$DESC.lnk" -newermt 2002-01-01 | wc -l)" 1 "again: shortcut written anew"
installed_files_are_the_payload "$FU" again

echo "== the installed uninstaller removes the installation"
UNINSTALL='#32770|コルヴァニ　領収書発行 アンインストール'
wine "$(wine winepath -w "$FU/UnInst.exe" 2>/dev/null 9>&-)" </dev/null >/dev/null 2>&1 9>&- &
E2E_PIDS="$E2E_PIDS $!"
if drv wait "$UNINSTALL" 30000 >/dev/null; then
  drv click "$UNINSTALL" 6 >/dev/null   # はい
  sleep 1
  if drv wait "$UNINSTALL" 60000 >/dev/null; then
    drv dump "$UNINSTALL" >"$E2E_TMP/report"
    screenshot install_uninstall_report
    drv click "$UNINSTALL" 1 >/dev/null || drv click "$UNINSTALL" 2 >/dev/null
  else
    fail "uninstall: no report"
  fi
else
  fail "uninstall: no question"
fi
drv gone "$UNINSTALL" 30000 || fail "uninstall: the report stays"
sleep 1
[ ! -e "$FU" ] && pass "uninstall: the install folder is gone" || fail "uninstall: left $(ls "$FU")"
[ ! -e "$MENU" ] && pass "uninstall: the Start-menu folder is gone" || fail "uninstall: Start menu left"
[ ! -e "$DESKTOP/$DESC.lnk" ] && pass "uninstall: the desktop shortcut is gone" || fail "uninstall: desktop"
check "$(drv regvalue "$KEY" Path)" "missing key" "uninstall: the registry value is gone"

echo "== the box cleared, into an existing folder"
rm -f "$DESKTOP/$DESC.lnk"
mkdir -p "$(drive_c existing)"
install cleared 'c:\existing' cleared "セットアップが正常に終了しました"
installed_files_are_the_payload "$(drive_c existing)" cleared
check "$(ls "$DESKTOP" | grep -c "$DESC" || true)" 0 "cleared: no desktop shortcut"
shortcut_is "$MENU/$DESC.lnk" 'c:\existing\korvani.exe' 'c:\existing'

echo "== a folder typed with a trailing backslash"
install trailing 'c:\apps\' ticked "セットアップが正常に終了しました"
installed_files_are_the_payload "$(drive_c apps)" trailing
check "$(drv regvalue "$KEY" Path)" 'type=1 size=9 text=c:\apps\' "trailing: the value as typed"
# The shell stores the target normalised; the working folder and the icon keep the
# doubled separator of the composed path.
shortcut_is "$MENU/$DESC.lnk" 'c:\apps\korvani.exe' 'c:\apps\\' 'c:\apps\\korvani.exe'
shortcut_is "$DESKTOP/$DESC.lnk" 'c:\apps\update.exe' 'c:\apps\\' 'c:\apps\\update.exe'

echo "== the empty field, then a good install from the same dialog"
start_setup "$SETUP_COPY"
drv settext 'TSetupForm|' class=Edit ''
drv click 'TSetupForm|' 'セットアップ開始'
if drv wait '#32770|コルヴァニ　領収書発行セットアップ' 30000 >/dev/null; then
  drv dump '#32770|コルヴァニ　領収書発行セットアップ' >"$E2E_TMP/box"
  screenshot install_empty_field
  grep -q '^control id=65535 .*text=ディレクトリを作成することができません\.$' "$E2E_TMP/box" &&
    pass "empty: the exception box" || { fail "empty: exception box text"; cat "$E2E_TMP/box"; }
  drv click '#32770|コルヴァニ　領収書発行セットアップ' OK
else
  fail "empty: no exception box"
fi
drv wait 'TSetupForm|' 5000 >/dev/null && pass "empty: the dialog stays open" || fail "empty: dialog gone"
drv settext 'TSetupForm|' class=Edit 'c:\second'
drv click 'TSetupForm|' 'セットアップ開始'
notice empty_then_good "セットアップが正常に終了しました"
wait_setup_exit
check "$SETUP_RC" 0 "empty then good: exit code"
installed_files_are_the_payload "$(drive_c second)" empty_then_good

echo "== a folder that cannot be created"
echo x >"$(drive_c blocker)"
install nofolder 'c:\blocker\korvani' ticked "ディレクトリ作成に失敗しました"
check "$(drv regvalue "$KEY" Path)" 'type=1 size=10 text=c:\second' "nofolder: registry untouched"

echo "== shortcut 1 failing"
rm -f "$DESKTOP/$DESC.lnk" "$MENU"/*.lnk
mkdir -p "$MENU/$DESC.lnk"   # a folder where the shortcut file should go
install shortcut1 'c:\third' ticked "ショートカットの作成に失敗しました"
shortcut_is "$MENU/${DESC}起動.lnk" 'c:\third\update.exe' 'c:\third'
shortcut_is "$MENU/${DESC}アンインストール.lnk" 'c:\third\uninst.exe' 'c:\third'
check "$(ls "$DESKTOP" | grep -c "$DESC" || true)" 0 "shortcut1: no desktop shortcut"
rmdir "$MENU/$DESC.lnk"

echo "== shortcut 3 failing: the others are made, and no success is claimed"
rm -f "$DESKTOP/$DESC.lnk" "$MENU"/*.lnk
mkdir -p "$MENU/${DESC}アンインストール.lnk"
install shortcut3 'c:\third' ticked "ショートカットの作成に失敗しました"
shortcut_is "$MENU/$DESC.lnk" 'c:\third\korvani.exe' 'c:\third'
shortcut_is "$MENU/${DESC}起動.lnk" 'c:\third\update.exe' 'c:\third'
shortcut_is "$DESKTOP/$DESC.lnk" 'c:\third\update.exe' 'c:\third'
rmdir "$MENU/${DESC}アンインストール.lnk"

echo "== a payload cut short inside a file"
cp "$SETUP_COPY" "$(drive_c setup/Broken.exe)"
head -c 200000 "$ARCHIVE" >"$E2E_TMP/short.tlz"
drv setresource "$(wine winepath -w "$(drive_c setup/Broken.exe)" 2>/dev/null 9>&-)" TLZ KORVANISLIP \
  "$(wine winepath -w "$E2E_TMP/short.tlz" 2>/dev/null 9>&-)" || fail "could not replace the payload"
start_setup "$(drive_c setup/Broken.exe)"
drv settext 'TSetupForm|' class=Edit 'c:\fifth'
drv click 'TSetupForm|' 'セットアップ開始'
notice truncated_payload "セットアップが正常に終了できませんでした"
wait_setup_exit
# No shortcut was made or replaced: the Start menu still points at the previous install.
shortcut_is "$MENU/$DESC.lnk" 'c:\third\korvani.exe' 'c:\third'
[ -e "$(drive_c fifth/korvani.exe)" ] && fail "truncated: entries after the cut were written" ||
  pass "truncated: nothing after the cut"
same_file "$(drive_c setup/work.tmp)" "$E2E_TMP/short.tlz" "truncated: work.tmp is the short payload"

echo "== the registry refused"
drv reglock "$KEY" || fail "could not lock the key"
install registry 'c:\sixth' ticked "予期せぬエラーが発生しました　起動できません"
[ -d "$(drive_c sixth)" ] && pass "registry: the folder stays created" || fail "registry: folder"
check "$(ls "$(drive_c sixth)" | wc -l)" 0 "registry: nothing extracted"

wineserver -k 2>/dev/null
e2e_finish
