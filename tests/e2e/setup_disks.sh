#!/bin/bash
# Full and read-only disks, on a small memory disk mapped as drive Q: (needs root to
# mount it; skipped otherwise). Installing into a full disk claims no success; Setup.exe
# on a full disk cannot write work.tmp whole and says so, and its dialog stays open;
# on a read-only disk it cannot create work.tmp and names it.
. "$(dirname "$0")/lib/common.sh"

if [ "$(id -u)" -ne 0 ]; then
  echo "$E2E_NAME: skipped, mounting the disk needs root"
  exit 77
fi

DISK="$E2E_TMP/disk"
DRIVE_LINK="$WINEPREFIX/dosdevices/q:"
WORK=$(drive_c setup-disks)
[ -e "$DRIVE_LINK" ] && { echo "drive Q: is taken in this prefix"; exit 1; }
mkdir -p "$DISK" "$WORK"
disk_cleanup() {
  for p in $E2E_PIDS; do kill "$p" 2>/dev/null || true; done
  E2E_PIDS=""
  if mountpoint -q "$DISK"; then
    # A Wine process that still holds a file there would keep it busy: end this
    # prefix's programs first.
    umount "$DISK" 2>/dev/null || { wineserver -k 2>/dev/null; umount "$DISK"; }
  fi
  rm -f "$DRIVE_LINK"
  rm -rf "$WORK"
  drv regdelete "$KEY_PARENT" 2>/dev/null
  e2e_cleanup
}
trap disk_cleanup EXIT

# mount_disk KILOBYTES: a fresh memory disk of that size as drive Q:.
mount_disk() {
  if mountpoint -q "$DISK"; then umount "$DISK" || return 1; fi
  mount -t tmpfs -o "size=${1}k,mode=0777" tmpfs "$DISK" || return 1
  ln -sfn "$DISK" "$DRIVE_LINK"
}

# exception_box NAME TEXT: the exception box says TEXT and is answered; the dialog stays.
exception_box() {
  if drv waittext "$SETUP_BOX" $MESSAGE_TEXT "$2" 60000; then
    pass "$1: '$2'"
  else
    fail "$1: no exception box '$2'"; drv list | grep -v ' 0x0 ' | sed 's/^/    /'
  fi
  screenshot "${E2E_NAME}_$1"
  drv click "$SETUP_BOX" OK
  check "$1: the box closes" drv gone "$SETUP_BOX" "$WAIT_MS"
  check "$1: the setup dialog stays open" drv wait 'TSetupForm|' 0
  drv click 'TSetupForm|' 'キャンセル'
  wait_setup_exit "$1: exit code"
}

echo "== installing into a full disk"
cp "$SETUP_EXE" "$WORK/Setup.exe"
rm -rf "$MENU"
check "a disk of 256 KB as Q:" mount_disk 256
start_install "$WORK/Setup.exe" 'Q:\korvani'
notice full_install "セットアップが正常に終了できませんでした"
wait_setup_exit "full install: exit code"
check "full install: no shortcut is made" [ ! -e "$MENU" ]

echo "== Setup.exe on a full disk"
# Room for Setup.exe and half its payload: work.tmp, the payload beside it, cannot be
# written whole.
size=$(stat -c %s "$SETUP_EXE")
payload=$(stat -c %s "$ARCHIVE")
check "a disk with room for Setup.exe only" mount_disk $(((size + payload / 2) / 1024))
cp "$SETUP_EXE" "$DISK/Setup.exe"
start_install 'Q:\Setup.exe' 'c:\setup-disks\full'
exception_box full_disk 'ストリームへの書き込みエラー.'
check "full disk: nothing extracted" [ -z "$(ls -A "$WORK/full" 2>/dev/null)" ]

echo "== Setup.exe on a read-only disk"
rm -f "$DISK/work.tmp"
check "the disk made read-only" mount -o remount,ro "$DISK"
start_install 'Q:\Setup.exe' 'c:\setup-disks\readonly'
exception_box read_only 'ファイル ?:\work.tmp を作成できません.'
check "read-only: nothing extracted" [ -z "$(ls -A "$WORK/readonly" 2>/dev/null)" ]

e2e_finish
