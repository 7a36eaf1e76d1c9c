# Shared by the end-to-end scripts: the Wine environment of the Windows build tree,
# the driver, starting programs, checks, screenshots, and an installation laid out
# as the installer leaves it.
# Expects BUILD_DIR, SOURCE_DIR, WINEPREFIX, SETUP_EXE, DRIVER_EXE (set by ctest) and
# DISPLAY. Every check helper takes its description first.
set -u
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}" "${WINEPREFIX:?}" "${DRIVER_EXE:?}"
. "$SOURCE_DIR/scripts/wine-env.sh"
wine_start_server

E2E_NAME=$(basename "$0" .sh)
E2E_TMP=$(mktemp -d)
E2E_FAILS=0
E2E_PIDS=""
ARTIFACTS=${KORVANI_ARTIFACTS:-$BUILD_DIR/artifacts}
mkdir -p "$ARTIFACTS"

PAYLOAD_FILES="$BUILD_DIR/payload/files"
ARCHIVE="$BUILD_DIR/payload/korvani.tlz"
INSTALLED_FILES=(UnInst.exe update.exe korvani.cnt korvani.exe KORVANI.HLP)
PRODUCT='コルヴァニ　領収書発行'
SETUP_BOX='#32770|コルヴァニ　領収書発行セットアップ'
TASKBAR='TApplication|コルヴァニ　領収書発行セットアップ'  # the installer's task-bar window
UNINSTALL_BOX='#32770|コルヴァニ　領収書発行 アンインストール'
APP_WINDOW='KorvaniSampleWindow|'
# The packer of the native tree, as ctest names it or as the build tree was configured.
TLZPACK=${TLZPACK:-$(sed -n 's/^TLZPACK_EXECUTABLE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")}
# The installer's value lives in the 32-bit registry view, which a 64-bit program (the
# driver) sees below Wow6432Node; the 64-bit view's key is where earlier releases wrote it.
KEY='HKLM\Software\Wow6432Node\Tolvar Co.,Ltd.\korv'
KEY_PARENT='HKLM\Software\Wow6432Node\Tolvar Co.,Ltd.'
KEY64='HKLM\Software\Tolvar Co.,Ltd.\korv'
KEY64_PARENT='HKLM\Software\Tolvar Co.,Ltd.'
WAIT_MS=30000
IDOK=1 IDYES=6 IDNO=7
MESSAGE_TEXT=65535  # the text of a system message box

e2e_cleanup() {
  for p in $E2E_PIDS; do kill "$p" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Driver commands that change nothing, which may safely be run twice.
driver_reads_only() {
  case $1 in
    list|wait|gone|dump|peek|text|waittext|focus|items|shortcut|regvalue|folder|resource|version|held|noproc) return 0 ;;
  esac
  return 1
}

# The driver, its output in UTF-8; what it says on failure goes to stderr.
drv() {
  local err="$E2E_TMP/driver.$BASHPID.err" out="$E2E_TMP/driver.$BASHPID.out" rc attempt
  for attempt in 1 2; do
    # Wine's error messages go with the driver's own, shown only when it fails: a driver
    # that dies prints nothing itself.
    WINEDEBUG=-all,err+all wine "$DRIVER_EXE" "$@" </dev/null >"$out" 2>"$err" 9>&-
    rc=$?
    # Now and then Wine's loader cannot start a process (its shared data page is taken),
    # or the process trips in the C library on its way out after the command's work: a
    # command that never ran, or one that only reads, is given one more run.
    [ "$rc" -ne 0 ] && [ "$attempt" -eq 1 ] || break
    if grep -q 'failed to map the shared user data' "$err" ||
       { grep -q 'Inconsistency detected by ld\.so' "$err" && driver_reads_only "$1"; }; then
      sed "s/^/  ($1, run again) /" "$err" >&2
      continue
    fi
    break
  done
  cat "$out"
  [ "$rc" -ne 0 ] && [ -s "$err" ] && sed "s/^/  ($1) /" "$err" >&2
  rm -f "$err" "$out"
  # An input that could not be delivered, or a wait for the inputs to be handled that
  # did not end, fails the scenario even where the script goes on without looking, or a
  # later check would be made against the wrong state.
  case $1 in
    settext|click|key|select|dblclick|close|endtask)
      [ "$rc" -ne 0 ] && fail "driver $*: the input was not delivered (exit status $rc)" ;;
    settle)
      [ "$rc" -ne 0 ] && fail "driver $*: the posted inputs were not seen handled (exit status $rc)" ;;
  esac
  return "$rc"
}

# run_win PROGRAM ARGS...: a Windows program, its output into the log of the run.
run_win() { wine "$@" </dev/null >>"$E2E_TMP/programs.log" 2>&1 9>&-; }

fail() { echo "FAIL: $*"; E2E_FAILS=$((E2E_FAILS + 1)); }
pass() { echo "ok: $*"; }

# check WHAT COMMAND...: the command succeeds.
check() {
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# same WHAT ACTUAL EXPECTED: two texts are equal.
same() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', expected '$3'"; fi
}

# expect_line WHAT FILE LINE: the file holds exactly that line.
expect_line() {
  if grep -qxF -- "$3" "$2"; then pass "$1"; else fail "$1: no line '$3' in:"; sed 's/^/    /' "$2"; fi
}

# start_setup [EXE]: starts the installer in the background with its debug strings
# traced to $E2E_TMP/setup.log; SETUP_PID is its process.
start_setup() {
  local exe=${1:-$SETUP_EXE}
  WINEDEBUG=-all,+debugstr wine "$exe" </dev/null >"$E2E_TMP/setup.log" 2>&1 9>&- &
  SETUP_PID=$!
  E2E_PIDS="$E2E_PIDS $SETUP_PID"
  drv wait 'TSetupForm|' "$WAIT_MS" || fail "the setup dialog did not appear"
}

# payload_copy FROM TO TLZ: a copy of the installer FROM at TO (Linux paths) that
# carries the archive TLZ as its payload.
payload_copy() {
  cp "$1" "$2"
  drv setresource "$(dos_path "$2")" TLZ KORVANISLIP "$(dos_path "$3")" || fail "could not replace the payload"
}

# start_install EXE FOLDER: starts the installer EXE, types FOLDER into its field and
# presses the start button.
start_install() {
  start_setup "$1"
  drv settext 'TSetupForm|' class=Edit "$2"
  drv click 'TSetupForm|' 'セットアップ開始'
}

# wait_setup_exit [WHAT]: waits for the installer (at most 60 s) and sets SETUP_RC; with
# WHAT, checks under that name that it ended with exit code 0.
wait_setup_exit() {
  local i=0
  while kill -0 "$SETUP_PID" 2>/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
  if kill -0 "$SETUP_PID" 2>/dev/null; then
    fail "the installer did not end"
    kill "$SETUP_PID" 2>/dev/null
    SETUP_RC=timeout
  else
    wait "$SETUP_PID"
    SETUP_RC=$?
  fi
  if [ $# -gt 0 ]; then same "$1" "$SETUP_RC" 0; fi
}

# notice NAME TEXT [ms]: the installer's message box comes, with its caption and
# TEXT; a screenshot is taken and it is answered with OK.
notice() {
  if ! drv wait 'TMessageForm|' "${3:-60000}"; then
    fail "$1: no message box; the screen shows:"
    drv list | sed 's/^/    /'
    screenshot "${E2E_NAME}_$1_missing"
    return
  fi
  drv dump 'TMessageForm|' >"$E2E_TMP/box"
  screenshot "${E2E_NAME}_$1"
  expect_line "$1: caption" "$E2E_TMP/box" "caption=コルヴァニ　領収書発行セットアップ"
  if grep -q "^control .*class=Static .*text=$2\$" "$E2E_TMP/box"; then
    pass "$1: '$2'"
  else
    fail "$1: the box does not say '$2':"; sed 's/^/    /' "$E2E_TMP/box"
  fi
  drv click 'TMessageForm|' OK
}

# screenshot NAME: the whole virtual screen into the artefacts folder.
screenshot() {
  if [ -n "${DISPLAY:-}" ]; then
    /usr/bin/import -display "$DISPLAY" -window root "$ARTIFACTS/$1.png" 2>/dev/null &&
      echo "screenshot: $ARTIFACTS/$1.png"
  fi
}

# The Linux path of a file in the prefix's drive C.
drive_c() { echo "$WINEPREFIX/drive_c/$1"; }

# The Linux path of a Windows path on drive C.
unix_path() {
  local p=$1
  case "$p" in
    [Cc]:\\*) p=${p:3} ;;
    *) echo "unix_path: not on drive C: $p" >&2; return 1 ;;
  esac
  printf '%s/drive_c/%s\n' "$WINEPREFIX" "${p//\\//}"
}

# A Windows path of a Linux path (drive Z: is the Linux root).
dos_path() { printf 'Z:%s\n' "${1//\//\\}"; }

# The text of a message box (Windows line ends made plain).
message_text() { drv text "$1" $MESSAGE_TEXT | tr -d '\r'; }

# The text of a registry value, empty when it is missing.
reg_text() { drv regvalue "$1" "$2" | sed -n 's/^type=1 size=[0-9]* text=//p'; }

# uninstall_answer WHAT EXE ANSWER CODE [SCREENSHOT]: starts UnInst.exe, waits for its
# question (kept in QUESTION, and shot when SCREENSHOT is named) and answers it ($IDYES
# or $IDNO); UnInst.exe must then end with CODE.
uninstall_answer() {
  run_win "$2" &
  local pid=$!
  E2E_PIDS="$E2E_PIDS $pid"
  check "$1: the question" drv waittext "$UNINSTALL_BOX" $MESSAGE_TEXT '*アンインストールしますか*' "$WAIT_MS"
  QUESTION=$(message_text "$UNINSTALL_BOX")
  [ $# -ge 5 ] && screenshot "$5"
  drv click "$UNINSTALL_BOX" "$3"
  wait "$pid"
  same "$1: exit code" "$?" "$4"
}

# uninstall_report WHAT PATTERN SCREENSHOT: the copy that UnInst.exe handed over to
# reports (its text matches the glob PATTERN, and is kept in REPORT); the report is
# answered and the copy ends.
uninstall_report() {
  check "$1: the report" drv waittext "$UNINSTALL_BOX" $MESSAGE_TEXT "$2" "$WAIT_MS"
  REPORT=$(message_text "$UNINSTALL_BOX")
  screenshot "$3"
  drv click "$UNINSTALL_BOX" $IDOK
  check "$1: the copy ends after the report" drv noproc korvani-uninst "$WAIT_MS"
}

# The special folders of the prefix's user (Windows paths), asked once.
PROGRAMS_WIN=$(drv folder 2)
DESKTOP_WIN=$(drv folder 16)
MENU_WIN="$PROGRAMS_WIN\\コルヴァニ"
MENU=$(unix_path "$MENU_WIN")
DESKTOP=$(unix_path "$DESKTOP_WIN")

# lay_out_installation FOLDER [TYPED] [DESKTOP_TARGET]: an installation as the
# installer leaves it: the five files in FOLDER (Windows path on C:), the Start-menu
# folder with its three shortcuts, the desktop shortcut to DESKTOP_TARGET (default
# TYPED\update.exe) and the registry value. TYPED is the folder as the user typed it
# (what the installer puts into the shortcuts and the registry value).
lay_out_installation() {
  local folder=$1 typed=${2:-$1} linux sep='\'
  case "$typed" in *\\) sep= ;; esac
  local desktop_target=${3:-$typed${sep}update.exe}
  linux=$(unix_path "$folder") || return 1
  mkdir -p "$linux" "$MENU" || return 1
  for f in "${INSTALLED_FILES[@]}"; do cp "$PAYLOAD_FILES/$f" "$linux/$f" || return 1; done
  drv link "$MENU_WIN\\${PRODUCT}.lnk" "$typed${sep}korvani.exe" &&
    drv link "$MENU_WIN\\${PRODUCT}起動.lnk" "$typed${sep}update.exe" &&
    drv link "$MENU_WIN\\${PRODUCT}アンインストール.lnk" "$typed${sep}uninst.exe" &&
    drv link "$DESKTOP_WIN\\${PRODUCT}.lnk" "$desktop_target" &&
    drv regset "$KEY" Path "$typed"
}

# clear_installation FOLDER: removes whatever an earlier run may have left of an
# installation in FOLDER, its shortcuts and its registry entries.
clear_installation() {
  local linux
  linux=$(unix_path "$1") && rm -rf "$linux"
  rm -rf "$MENU" "$DESKTOP/${PRODUCT}.lnk"
  drv regdelete "$KEY_PARENT" && drv regdelete "$KEY64_PARENT"
}

# installation_state FOLDER: what exists of an installation, for comparisons.
installation_state() {
  local linux
  linux=$(unix_path "$1")
  { [ -d "$linux" ] && find "$linux" -type f -printf 'file %P %s\n' | sort
    [ -d "$MENU" ] && find "$MENU" -printf 'startmenu %P\n' | sort
    [ -e "$DESKTOP/${PRODUCT}.lnk" ] && echo "desktop link"
    reg_text "$KEY" Path | sed 's/^/registry Path=/'
  } 2>/dev/null
}

# The folder dialog of the browse button, and its control ids (given by the dialog's
# order of creation).
DLG='TSelectDirDlg|'
DIR_EDIT=100 DRIVE_LIST=102 DIR_LABEL=104 DIR_LIST=105 FILE_LIST=107 NET=109 OK=110 CANCEL=111 HELP=112
# The setup dialog's folder field, the dialog's edit box and path label.
field() { drv text 'TSetupForm|' class=Edit; }
edit_text() { drv text "$DLG" $DIR_EDIT; }
label_text() { drv text "$DLG" $DIR_LABEL; }
# item_index LIST TEXT: the index of the item with that text.
item_index() { drv items "$DLG" "$1" | sed -n "s/^item \([0-9]*\) $2\$/\1/p"; }
open_dialog() {
  drv click 'TSetupForm|' '参照'
  drv wait "$DLG" "$WAIT_MS" || fail "the folder dialog did not open"
}
# enter_item INDEX: a double click on that item of the folder list, handled.
enter_item() { drv dblclick "$DLG" $DIR_LIST "$1"; drv settle "$DLG"; }

e2e_finish() {
  if [ "$E2E_FAILS" -eq 0 ]; then echo "$E2E_NAME: all checks passed"; exit 0; fi
  echo "$E2E_NAME: $E2E_FAILS checks failed"
  exit 1
}
