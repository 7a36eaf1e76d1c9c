#!/bin/bash
# Installations from start to end in a fresh Wine prefix, as a user runs them: the
# default install and what it leaves (folder, registry value, work.tmp, the five files,
# the shortcuts), the box cleared, an existing folder, a folder typed with a trailing
# "\", an installer that scripts/package made of other files packed with --best, a
# second install over the first, the empty field, a folder that cannot be created, a
# relative folder, a folder too long for shortcut 1's target, shortcut 1 failing, a
# broken payload, a device name in the payload, and the registry refused. Links laid out
# by another user (work.tmp linked to a file, a folder link and a file link in an
# existing install folder) are never written through, and no success is claimed. While
# the outcome box is up the task-bar window is disabled, and closing from it changes
# nothing. The installed UnInst.exe removes what the installer made, also from a folder
# named with ソ and 表 typed with a trailing "\", and keeps a file of the user's own there.
WINEPREFIX="$BUILD_DIR/wine-prefix-install"
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
export WINEPREFIX
. "$(dirname "$0")/lib/common.sh"

DESC=$PRODUCT

# The installer runs from its own folder in drive C, where it leaves work.tmp. It is
# signed there, as a vendor ships it (lib/signing.sh).
mkdir -p "$(drive_c setup)"
SETUP_COPY="$(drive_c setup/Setup.exe)"
. "$(dirname "$0")/lib/signing.sh"
signed_copy "$SETUP_EXE" "$SETUP_COPY"

# install NAME FOLDER BOX MESSAGE: one run from the dialog to the end of the program,
# of $INSTALLER when it is set, else of the signed Setup.exe.
install() {
  start_setup "${INSTALLER:-$SETUP_COPY}"
  if [ "$2" != default ]; then drv settext 'TSetupForm|' class=Edit "$2"; fi
  if [ "$3" = cleared ]; then drv click 'TSetupForm|' 'デスクトップにショートカットを作成する'; fi
  drv click 'TSetupForm|' 'セットアップ開始'
  notice "$1" "$4"
  wait_setup_exit "$1: exit code"
}

same_file() { cmp -s "$2" "$3" && pass "$1" || fail "$1: $2 differs from $3"; }

# shortcut_is LINK TARGET WORKDIR [ICON]
shortcut_is() {
  local icon=${4:-$2}
  drv shortcut "$(dos_path "$1")" >"$E2E_TMP/lnk" || { fail "no shortcut $1"; return; }
  if grep -qxF "target=$2" "$E2E_TMP/lnk" && grep -qxF "workdir=$3" "$E2E_TMP/lnk" &&
     grep -qxF "description=$DESC" "$E2E_TMP/lnk" && grep -qxF "icon=$icon,0" "$E2E_TMP/lnk"; then
    pass "shortcut $(basename "$1") -> $2"
  else
    fail "shortcut $(basename "$1"):"; sed 's/^/    /' "$E2E_TMP/lnk"
  fi
}

installed_files_are_the_payload() {  # UNIX_FOLDER NAME
  for f in "${INSTALLED_FILES[@]}"; do
    same_file "$2: $f" "$1/$f" "$PAYLOAD_FILES/$f"
  done
}

echo "== the default install"
start_setup "$SETUP_COPY"
drv click 'TSetupForm|' 'セットアップ開始'
# While the outcome box is up, the task-bar window is disabled like the others, and
# closing the program from it does nothing: the installation ends once, as it would.
if drv wait 'TMessageForm|' 60000; then
  check "default: the task-bar window is disabled during the box" \
    grep -q '^window .* enabled=0 ' <(drv dump "$TASKBAR")
  drv close "$TASKBAR"
  drv endtask "$TASKBAR"
  drv settle "$TASKBAR"
  same "default: closing from the task bar runs no close handler" \
    "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 0
  check "default: closing from the task bar leaves the box up" drv wait 'TMessageForm|' 0
fi
notice default "セットアップが正常に終了しました"
wait_setup_exit "default: exit code"
same "default: FormClose ran once" "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 1
F='c:\Program Files\Tolvar\korvani'
FU="$(drive_c 'Program Files/Tolvar/korvani')"
installed_files_are_the_payload "$FU" default
same "registry value Path" "$(drv regvalue "$KEY" Path)" 'type=1 size=32 text=c:\Program Files\Tolvar\korvani'
same "no value in the 64-bit registry view" "$(drv regvalue "$KEY64" Path)" "missing key"
same_file "work.tmp beside Setup.exe is the archive" "$(drive_c setup/work.tmp)" "$ARCHIVE"
shortcut_is "$MENU/$DESC.lnk" "$F\\korvani.exe" "$F"
shortcut_is "$MENU/${DESC}起動.lnk" "$F\\update.exe" "$F"
shortcut_is "$MENU/${DESC}アンインストール.lnk" "$F\\uninst.exe" "$F"
shortcut_is "$DESKTOP/$DESC.lnk" "$F\\update.exe" "$F"
same "three Start-menu shortcuts" "$(ls "$MENU" | wc -l)" 3

echo "== a second install over the first"
touch -d '2001-01-01' "$FU/korvani.exe" "$MENU/$DESC.lnk"
install again default ticked "セットアップが正常に終了しました"
same "again: korvani.exe written anew" "$(find "$FU/korvani.exe" -newermt 2002-01-01 | wc -l)" 1
same "again: shortcut written anew" "$(find "$MENU/$DESC.lnk" -newermt 2002-01-01 | wc -l)" 1
installed_files_are_the_payload "$FU" again

echo "== the installed uninstaller removes the installation"
# The question is UnInst.exe's; once it has ended, the box is its copy's report.
uninstall_answer uninstall 'C:\Program Files\Tolvar\korvani\UnInst.exe' $IDYES 0
uninstall_report uninstall "${PRODUCT}をアンインストールしました。" install_uninstall_report
check "uninstall: the install folder is gone" [ ! -e "$FU" ]
check "uninstall: the Start-menu folder is gone" [ ! -e "$MENU" ]
check "uninstall: the desktop shortcut is gone" [ ! -e "$DESKTOP/$DESC.lnk" ]
same "uninstall: the registry key is gone" "$(drv regvalue "$KEY" Path)" "missing key"

echo "== the installed uninstaller, from a folder named with ソ and 表, typed with a trailing backslash"
SJ='c:\ソフト表\'
SJU=$(drive_c 'ソフト表')
install sjis "$SJ" ticked "セットアップが正常に終了しました"
installed_files_are_the_payload "$SJU" sjis
same "sjis: the value as typed" "$(reg_text "$KEY" Path)" "$SJ"
echo "the user's own notes" >"$SJU/mine.txt"
uninstall_answer "sjis uninstall" 'c:\ソフト表\UnInst.exe' $IDYES 0
# The report names what it kept.
uninstall_report "sjis uninstall" \
  "${PRODUCT}をアンインストールしました。*次のものは残しました。*ソフト表*ほかのファイルが残っています*" install_uninstall_kept
same "sjis uninstall: only the user's file is left" "$(ls "$SJU")" mine.txt
same "sjis uninstall: the user's file as it was" "$(cat "$SJU/mine.txt")" "the user's own notes"
check "sjis uninstall: the Start-menu folder is gone" [ ! -e "$MENU" ]
check "sjis uninstall: the desktop shortcut is gone" [ ! -e "$DESKTOP/$DESC.lnk" ]
same "sjis uninstall: the registry key is gone" "$(drv regvalue "$KEY" Path)" "missing key"
rm -rf "$SJU"

echo "== the box cleared, into an existing folder"
rm -f "$DESKTOP/$DESC.lnk"
mkdir -p "$(drive_c existing)"
install cleared 'c:\existing' cleared "セットアップが正常に終了しました"
installed_files_are_the_payload "$(drive_c existing)" cleared
same "cleared: no desktop shortcut" "$(ls "$DESKTOP" | grep -c "$DESC")" 0
shortcut_is "$MENU/$DESC.lnk" 'c:\existing\korvani.exe' 'c:\existing'

echo "== a folder typed with a trailing backslash"
install trailing 'c:\apps\' ticked "セットアップが正常に終了しました"
installed_files_are_the_payload "$(drive_c apps)" trailing
same "trailing: the value as typed" "$(drv regvalue "$KEY" Path)" 'type=1 size=9 text=c:\apps\'
# The shell stores the target normalised; the working folder and the icon keep the
# doubled separator of the composed path.
shortcut_is "$MENU/$DESC.lnk" 'c:\apps\korvani.exe' 'c:\apps\\' 'c:\apps\\korvani.exe'
shortcut_is "$DESKTOP/$DESC.lnk" 'c:\apps\update.exe' 'c:\apps\\' 'c:\apps\\update.exe'

echo "== an installer made by scripts/package from a vendor's files"
# The three programs the shortcuts start, a file in a folder and a Japanese name in a
# Japanese folder, packed with --best; refusals first, which write nothing.
VENDOR="$E2E_TMP/vendor"
mkdir -p "$VENDOR"
{ head -c 150000 "$PAYLOAD_FILES/UnInst.exe"; seq 1 30000; } >"$VENDOR/sample.bin"
{ for i in $(seq 1 2000); do echo "領収書 $i 番 発行済み"; done; } | iconv -f UTF-8 -t CP932 >"$VENDOR/receipts.txt"
package() { WIN_TREE="$BUILD_DIR" "$SOURCE_DIR/scripts/package" "$@" >"$E2E_TMP/package.log" 2>&1; }
PROGRAMS=("korvani.exe=$PAYLOAD_FILES/korvani.exe" "UPDATE.EXE=$PAYLOAD_FILES/update.exe"
          "$PAYLOAD_FILES/UnInst.exe")
package "$E2E_TMP/Refused.exe" "$PAYLOAD_FILES/korvani.exe" "$VENDOR/sample.bin"
same "package: refused without update.exe and uninst.exe" "$?" 1
check "package: names both missing programs" grep -q 'lack update.exe, uninst.exe' "$E2E_TMP/package.log"
package "$E2E_TMP/Refused.exe" "${PROGRAMS[@]}" "a.bin=$VENDOR/sample.bin" "A.BIN.=$VENDOR/sample.bin"
same "package: refused with what tlzpack refuses" "$?" 1
check "package: tlzpack's reason" grep -q 'same name on Windows' "$E2E_TMP/package.log"
check "package: the refusals wrote nothing" [ ! -e "$E2E_TMP/Refused.exe" ]
if package --best "$(drive_c setup/Vendor.exe)" "${PROGRAMS[@]}" \
     'data\samples\sample.bin='"$VENDOR/sample.bin" '書類\領収書一覧.txt='"$VENDOR/receipts.txt"; then
  pass "package: Vendor.exe written"
  # Its payload is a --best archive: smaller than the default packing of the same
  # inputs, and what the installer writes to work.tmp and extracts from.
  BEST_TLZ="$BUILD_DIR/payload/package.tlz"
  "$TLZPACK" pack --inputs "$BUILD_DIR/payload/package.inputs" -- "$E2E_TMP/default.tlz" >/dev/null ||
    fail "package: could not pack the inputs by default"
  check "package: the --best payload is smaller than the default one" \
    test "$(stat -c %s "$BEST_TLZ")" -lt "$(stat -c %s "$E2E_TMP/default.tlz")"
  INSTALLER="$(drive_c setup/Vendor.exe)" install vendor 'c:\vendor' ticked "セットアップが正常に終了しました"
  same_file "vendor: work.tmp is the --best payload" "$(drive_c setup/work.tmp)" "$BEST_TLZ"
  same_file "vendor: korvani.exe" "$(drive_c vendor/korvani.exe)" "$PAYLOAD_FILES/korvani.exe"
  same_file "vendor: UPDATE.EXE" "$(drive_c vendor/UPDATE.EXE)" "$PAYLOAD_FILES/update.exe"
  same_file "vendor: UnInst.exe" "$(drive_c vendor/UnInst.exe)" "$PAYLOAD_FILES/UnInst.exe"
  same_file "vendor: a file in a folder" "$(drive_c vendor/data/samples/sample.bin)" "$VENDOR/sample.bin"
  same_file "vendor: a Japanese name" "$(drive_c vendor/書類/領収書一覧.txt)" "$VENDOR/receipts.txt"
  same "vendor: nothing else" "$(find "$(drive_c vendor)" -type f | wc -l)" 5
  shortcut_is "$MENU/$DESC.lnk" 'c:\vendor\korvani.exe' 'c:\vendor'

  echo "== links in an existing install folder"
  # Anyone may make folders at the root of C: and fill them. A folder link that an entry
  # walks through, and then a file link with an entry's name, lead elsewhere; the links
  # are refused, and the installation ends as a failure.
  LINKED="$(drive_c linked)"
  mkdir -p "$LINKED" "$E2E_TMP/elsewhere"
  ln -s "$E2E_TMP/elsewhere" "$LINKED/data"
  INSTALLER="$(drive_c setup/Vendor.exe)" install linked_folder 'c:\linked' ticked "セットアップが正常に終了できませんでした"
  same "linked folder: nothing written through it" "$(ls -A "$E2E_TMP/elsewhere")" ""
  echo "someone else's file" >"$E2E_TMP/elsewhere.txt"
  rm -f "$LINKED/korvani.exe"
  ln -s "$E2E_TMP/elsewhere.txt" "$LINKED/korvani.exe"
  INSTALLER="$(drive_c setup/Vendor.exe)" install linked_file 'c:\linked' ticked "セットアップが正常に終了できませんでした"
  same "linked file: not written through" "$(cat "$E2E_TMP/elsewhere.txt")" "someone else's file"
  rm -rf "$LINKED"
else
  fail "package: no Vendor.exe:"; sed 's/^/    /' "$E2E_TMP/package.log"
fi

echo "== work.tmp a link to another file"
# Whoever may write beside Setup.exe links work.tmp to a file of their choice. Windows
# would have the link removed and made anew; Wine shows a linked file as its target,
# which cannot be removed alone, so here the installer names work.tmp and stops.
echo "someone else's file" >"$E2E_TMP/linked-work.txt"
rm -f "$(drive_c setup/work.tmp)"
ln -s "$E2E_TMP/linked-work.txt" "$(drive_c setup/work.tmp)"
start_install "$SETUP_COPY" 'c:\linkedwork'
if drv wait "$SETUP_BOX" "$WAIT_MS"; then
  same "linked work.tmp: the exception box" "$(message_text "$SETUP_BOX")" 'ファイル C:\setup\work.tmp を作成できません.'
  drv click "$SETUP_BOX" OK
  drv close 'TSetupForm|'
else
  fail "linked work.tmp: no exception box"
fi
wait_setup_exit "linked work.tmp: exit code"
same "linked work.tmp: the linked file is unchanged" "$(cat "$E2E_TMP/linked-work.txt")" "someone else's file"
rm -f "$(drive_c setup/work.tmp)"

echo "== the empty field, then a good install from the same dialog"
start_install "$SETUP_COPY" ''
if drv wait "$SETUP_BOX" "$WAIT_MS"; then
  screenshot install_empty_field
  same "empty: the exception box" "$(message_text "$SETUP_BOX")" 'ディレクトリを作成することができません.'
  drv click "$SETUP_BOX" OK
  check "empty: the exception box closes" drv gone "$SETUP_BOX" "$WAIT_MS"
else
  fail "empty: no exception box"
fi
# The dialog stayed open: the same dialog takes a folder and installs.
drv settext 'TSetupForm|' class=Edit 'c:\second'
drv click 'TSetupForm|' 'セットアップ開始'
notice empty_then_good "セットアップが正常に終了しました"
wait_setup_exit "empty then good: exit code"
same "empty then good: one run of the installer" "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 1
installed_files_are_the_payload "$(drive_c second)" empty_then_good

echo "== a folder that cannot be created"
echo x >"$(drive_c blocker)"
install nofolder 'c:\blocker\korvani' ticked "ディレクトリ作成に失敗しました"
same "nofolder: registry untouched" "$(drv regvalue "$KEY" Path)" 'type=1 size=10 text=c:\second'

echo "== a relative folder, typed from a known current folder"
# ..\x would land beside the installer's current folder, which the user never sees: it
# is refused, and nothing is made or recorded.
mkdir -p "$(drive_c cwd/here)"
pushd "$(drive_c cwd/here)" >/dev/null || fail "cannot enter the current folder"
install relative '..\x' ticked "ディレクトリ作成に失敗しました"
popd >/dev/null || fail "cannot leave the current folder"
same "relative: nothing made beside the current folder" "$(ls -A "$(drive_c cwd)")" here
same "relative: registry untouched" "$(drv regvalue "$KEY" Path)" 'type=1 size=10 text=c:\second'

echo "== a folder so long that shortcut 1 cannot take its target"
# c:\ and 245 letters: the files fit; the shortcut fields hold 259 characters, as many
# as \update.exe makes, one fewer than \korvani.exe. Shortcut 1 is not saved with a cut
# target, and no success is claimed.
rm -f "$DESKTOP/$DESC.lnk" "$MENU"/*.lnk
LONG="c:\\$(printf 'l%.0s' $(seq 245))"
install long "$LONG" ticked "ショートカットの作成に失敗しました"
same_file "long: korvani.exe installed" "$(unix_path "$LONG")/korvani.exe" "$PAYLOAD_FILES/korvani.exe"
check "long: shortcut 1 is not saved" [ ! -e "$MENU/$DESC.lnk" ]
shortcut_is "$MENU/${DESC}起動.lnk" "$LONG\\update.exe" "$LONG"
rm -rf "$(unix_path "$LONG")"

echo "== shortcut 1 failing"
rm -f "$DESKTOP/$DESC.lnk" "$MENU"/*.lnk
mkdir -p "$MENU/$DESC.lnk"   # a folder where the shortcut file should go
install shortcut1 'c:\third' ticked "ショートカットの作成に失敗しました"
shortcut_is "$MENU/${DESC}起動.lnk" 'c:\third\update.exe' 'c:\third'
shortcut_is "$MENU/${DESC}アンインストール.lnk" 'c:\third\uninst.exe' 'c:\third'
same "shortcut1: no desktop shortcut" "$(ls "$DESKTOP" | grep -c "$DESC")" 0
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
# The cut falls in the middle of update.exe's stream, as the packer lists it (NAME SIZE
# STREAM OFFSET, the offset of the entry's header): UnInst.exe before it is whole, and
# nothing of the three entries after it is written.
listing=$("$TLZPACK" list "$ARCHIVE")
read -r start stream < <(awk '$1 == "update.exe" {print $4 + 1 + 10 + 4, $3}' <<<"$listing")
CUT=$((start + stream / 2))
check "truncated: the cut lies inside update.exe's stream" \
  test "$start" -lt "$CUT" -a "$CUT" -lt "$((start + stream))"
head -c "$CUT" "$ARCHIVE" >"$E2E_TMP/short.tlz"
payload_copy "$SETUP_COPY" "$(drive_c setup/Broken.exe)" "$E2E_TMP/short.tlz"
INSTALLER="$(drive_c setup/Broken.exe)" install truncated_payload 'c:\fifth' ticked "セットアップが正常に終了できませんでした"
# No shortcut was made or replaced: the Start menu still points at the previous install.
shortcut_is "$MENU/$DESC.lnk" 'c:\third\korvani.exe' 'c:\third'
same_file "truncated: UnInst.exe before the cut is whole" "$(drive_c fifth/UnInst.exe)" "$PAYLOAD_FILES/UnInst.exe"
for f in korvani.cnt korvani.exe KORVANI.HLP; do
  check "truncated: nothing after the cut ($f)" [ ! -e "$(drive_c fifth/$f)" ]
done
same_file "truncated: work.tmp is the short payload" "$(drive_c setup/work.tmp)" "$E2E_TMP/short.tlz"

echo "== a device name in the payload"
# NUL.txt would send its bytes to the null device and count as a file. The packer
# refuses such a name, so the entry is written by hand: name, size 1, a flag byte and
# one literal; a.txt, packed, follows.
printf 'fine\n' >"$E2E_TMP/a.txt"
"$TLZPACK" pack "$E2E_TMP/a.tlz" "a.txt=$E2E_TMP/a.txt" >/dev/null || fail "could not pack a.txt"
{ printf '\007NUL.txt\001\000\000\000\001x'; cat "$E2E_TMP/a.tlz"; } >"$E2E_TMP/device.tlz"
payload_copy "$SETUP_COPY" "$(drive_c setup/Device.exe)" "$E2E_TMP/device.tlz"
INSTALLER="$(drive_c setup/Device.exe)" install device_name 'c:\devices' ticked "セットアップが正常に終了できませんでした"
same "device: nothing is created in the folder" "$(ls -A "$(drive_c devices)")" ""
shortcut_is "$MENU/$DESC.lnk" 'c:\third\korvani.exe' 'c:\third'

echo "== the registry refused"
drv reglock "$KEY" || fail "could not lock the key"
install registry 'c:\sixth' ticked "予期せぬエラーが発生しました　起動できません"
check "registry: the folder stays created" [ -d "$(drive_c sixth)" ]
same "registry: nothing extracted" "$(ls "$(drive_c sixth)" | wc -l)" 0

wineserver -k 2>/dev/null
e2e_finish
