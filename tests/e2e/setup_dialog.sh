#!/bin/bash
# The setup dialog as a user first sees it: caption, task-bar title, every control at
# its place with its text, the default folder, the ticked box, the focus on the start
# button, which Enter presses; only the dialog visible; the close box and the cancel
# button end the program with exit code 0 after exactly one close handler. Started minimised (show command 7, as a shortcut set
# to "minimised" starts it), restoring the task-bar entry brings the dialog up with its
# default folder; its own minimise box minimises the program, and restoring brings it back.
# Stand-ins for system DLLs beside the installer are never loaded.
. "$(dirname "$0")/lib/common.sh"

start_setup
drv dump 'TSetupForm|' >"$E2E_TMP/dump"
drv list >"$E2E_TMP/list"
drv focus 'TSetupForm|' >"$E2E_TMP/focus"
screenshot setup_dialog
sed 's/^/  | /' "$E2E_TMP/dump"

expect_line "dialog caption" "$E2E_TMP/dump" "caption=コルヴァニ領収書発行 Setup"
grep -q '^rect=[0-9]*,[0-9]* 465x229$' "$E2E_TMP/dump" && pass "outer size 465 x 229" || fail "outer size"
# centred on the 1024 x 768 screen: 512 - 465 div 2, 384 - 229 div 2
expect_line "centred on the screen" "$E2E_TMP/dump" "rect=280,270 465x229"
expect_line "task-bar window title" "$E2E_TMP/dump" "owner=TApplication|コルヴァニ　領収書発行セットアップ"
ctl() { grep -E "^control .* class=$1 rect=$2 visible=1 .*text=$3\$" "$E2E_TMP/dump" >/dev/null; }
ctl Static '46,58 114x12' 'セットアップ先フォルダ' && pass "Label2" || fail "Label2"
ctl Static '28,12 38x37' '' && pass "Image1 38 x 37" || fail "Image1"
ctl Static '70,24 365x29' 'コルヴァニ　領収書発行 セットアッププログラム' && pass "Label1 title" || fail "Label1"
ctl Button '88,140 135x35' 'セットアップ開始' && pass "SetupButton" || fail "SetupButton"
ctl Button '232,140 135x35' 'キャンセル' && pass "Button1" || fail "Button1"
ctl Button '376,72 43x25' '参照' && pass "Button2" || fail "Button2"
ctl Edit '44,74 327x20' 'c:\\Program Files\\Tolvar\\korvani' && pass "Edit1 default folder" || fail "Edit1"
grep -qE '^control .* rect=130,106 217x19 .* checked=1 text=デスクトップにショートカットを作成する$' \
  "$E2E_TMP/dump" && pass "CheckBox1 ticked" || fail "CheckBox1"
grep -q '^focus .* text=セットアップ開始$' "$E2E_TMP/focus" && pass "SetupButton has the focus" ||
  fail "focus: $(cat "$E2E_TMP/focus")"
# The focused start button looks as the default one (BS_DEFPUSHBUTTON), as after a Tab.
style=$(sed -n 's/^control .* style=\([0-9a-f]*\) .*text=セットアップ開始$/\1/p' "$E2E_TMP/dump")
check "SetupButton shows the default look" test -n "$style" -a "$((0x${style:-0} & 0xF))" -eq 1

# Only the setup dialog (and the zero-size task-bar window) is visible.
pid=$(sed -n 's/^top class=TSetupForm pid=\([0-9][0-9]*\) .*/\1/p' "$E2E_TMP/list")
check "the list shows the dialog's process" [ -n "$pid" ]
same "no other visible window of the installer" \
  "$(grep " pid=$pid " "$E2E_TMP/list" | grep -v -e 'class=TSetupForm' -e 'class=TApplication .* 0x0 ' -e 'IME')" ""

# Enter at opening presses the focused start button: with the field emptied, the
# installation stops at once with the folder service's error, and the dialog stays.
drv settext 'TSetupForm|' class=Edit ''
drv key 'TSetupForm|' enter
if drv wait "$SETUP_BOX" "$WAIT_MS"; then
  same "Enter pressed the start button" "$(message_text "$SETUP_BOX")" 'ディレクトリを作成することができません.'
  drv click "$SETUP_BOX" OK
  check "the dialog stays after the box" drv gone "$SETUP_BOX" "$WAIT_MS"
else
  fail "Enter at opening did not press the start button"
fi

# Tab moves from the start button to the cancel button.
drv key 'TSetupForm|' tab
drv settle 'TSetupForm|'
check "Tab order: cancel after start" grep -q 'text=キャンセル$' <(drv focus 'TSetupForm|')

# The close box ends the program: exit code 0, one close handler.
drv close 'TSetupForm|'
wait_setup_exit "exit code after the close box"
same "FormClose ran once (close box)" "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 1

# The cancel button too.
start_setup
drv click 'TSetupForm|' 'キャンセル'
wait_setup_exit "exit code after the cancel button"
same "FormClose ran once (cancel)" "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 1

# Started minimised without activation.
minimized() {  # WINDOW: its style has WS_MINIMIZE
  local style
  style=$(drv dump "$1" | sed -n 's/^window .* style=\([0-9a-f]*\) .*/\1/p')
  [ -n "$style" ] && [ $((0x$style & 0x20000000)) -ne 0 ]
}
WINEDEBUG=-all,+debugstr wine "$DRIVER_EXE" run "$(dos_path "$SETUP_EXE")" 7 </dev/null >"$E2E_TMP/setup.log" 2>&1 9>&- &
SETUP_PID=$!
E2E_PIDS="$E2E_PIDS $SETUP_PID"
check "minimised start: the task-bar entry comes" drv wait "$TASKBAR" "$WAIT_MS"
# Once the program's loop handles what is posted to it, start-up has shown what it shows.
drv settle "$TASKBAR"
check "minimised start: the entry is minimised" minimized "$TASKBAR"
check "minimised start: no dialog yet" drv gone 'TSetupForm|' 0
drv restore "$TASKBAR"
if drv wait 'TSetupForm|' "$WAIT_MS"; then
  pass "minimised start: restoring the entry shows the dialog"
  screenshot setup_dialog_restored
  same "minimised start: the default folder (FormShow ran)" "$(field)" 'c:\Program Files\Tolvar\korvani'
  check "minimised start: the entry is restored" eval '! minimized "$TASKBAR"'
  # The dialog's own minimise box minimises the program; restoring brings the dialog back.
  drv minimize 'TSetupForm|'
  check "minimise box: the dialog goes" drv gone 'TSetupForm|' "$WAIT_MS"
  check "minimise box: the entry is minimised" minimized "$TASKBAR"
  drv restore "$TASKBAR"
  check "minimise box: restoring brings the dialog back" drv wait 'TSetupForm|' "$WAIT_MS"
  same "minimise box: the folder is still there" "$(field)" 'c:\Program Files\Tolvar\korvani'
  drv close 'TSetupForm|'
else
  fail "minimised start: restoring the entry shows no dialog"
  drv close "$TASKBAR"
fi
wait_setup_exit "minimised start: exit code"
same "minimised start: FormClose ran once" "$(grep -c 'TSetupForm.FormClose' "$E2E_TMP/setup.log")" 1

# Stand-ins for COMCTL32.dll and MPR.dll beside the installer, as another user can leave
# them in a download folder, with Wine told to prefer a DLL found there, as Windows does
# for DLLs that are not among its known DLLs: the dialog opens, and neither stand-in ran.
PLANTED="$E2E_TMP/planted"
mkdir -p "$PLANTED"
cp "$SETUP_EXE" "$STANDIN_DIR/COMCTL32.dll" "$STANDIN_DIR/MPR.dll" "$PLANTED/"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32,mpr=n,b" start_setup "$PLANTED/Setup.exe"
same "planted DLLs: neither stand-in ran" "$(find "$PLANTED" -iname '*.ran' -printf '%f ')" ""
drv close 'TSetupForm|'
wait_setup_exit "planted DLLs: exit code"

e2e_finish
