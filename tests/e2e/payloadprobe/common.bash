# Sourced by the payload's end-to-end scripts (tests/e2e/payload_*.sh). Needs BUILD_DIR,
# SOURCE_DIR and WINEPREFIX from ctest.
set -u
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}" "${WINEPREFIX:?}"
export WINEPREFIX

PAYLOAD_DIR="$BUILD_DIR/payload"
PAYLOAD_FILES="$PAYLOAD_DIR/files"
PROBE="$PAYLOAD_DIR/payloadprobe.exe"
INSTALLED_FILES=(UnInst.exe update.exe korvani.cnt korvani.exe KORVANI.HLP)
PRODUCT='コルヴァニ　領収書発行'
UNINSTALL_CAPTION='コルヴァニ　領収書発行 アンインストール'
APP_CLASS=KorvaniSampleWindow
REG_KEY='Software\Tolvar Co.,Ltd.\korv'
REG_PARENT='Software\Tolvar Co.,Ltd.'
WAIT_MS=20000
IDOK=1 IDYES=6 IDNO=7

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
check() {  # description command...
  local what=$1; shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}
finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
  exit 0
}

wine_run() { "$SOURCE_DIR/scripts/wine-run" "$@"; }
# The probe's output without Windows line ends.
probe() { wine_run "$PROBE" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# The Linux path of a path on drive C: of the prefix.
unix_path() {
  local p=$1
  case "$p" in
    [Cc]:\\*) p=${p:3} ;;
    *) echo "unix_path: not on drive C: $p" >&2; return 1 ;;
  esac
  printf '%s/drive_c/%s\n' "$WINEPREFIX" "${p//\\//}"
}

# A path for the Win32 side of a Linux path (drive Z: is the Linux root).
dos_path() { printf 'Z:%s\n' "${1//\//\\}"; }

screenshot() {  # name
  if [ -n "${KORVANI_ARTIFACTS:-}" ] && [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    mkdir -p "$KORVANI_ARTIFACTS"
    import -window root "$KORVANI_ARTIFACTS/$1.png" 2>/dev/null || true
  fi
}

# The special folders of the prefix's user, as the programs see them.
programs_folder() { probe folder programs; }
desktop_folder() { probe folder desktop; }
temp_folder() { probe folder temp; }

# Lays out an installation as the installer leaves it: the five files in FOLDER
# (Windows path on C:), the Start-menu folder with its three shortcuts, the desktop
# shortcut to DESKTOP_TARGET (default FOLDER\update.exe) and the registry value.
# TYPED is the folder as the user typed it (what the installer puts into the
# shortcuts and the registry value); it defaults to FOLDER.
lay_out_installation() {  # FOLDER [TYPED] [DESKTOP_TARGET]
  local folder=$1 typed=${2:-$1} linux sm desk
  local sep='\'
  case "$typed" in *\\) sep= ;; esac
  local desktop_target=${3:-$typed$sep'update.exe'}
  linux=$(unix_path "$folder") || return 1
  mkdir -p "$linux" || return 1
  for f in "${INSTALLED_FILES[@]}"; do cp "$PAYLOAD_FILES/$f" "$linux/$f" || return 1; done
  sm="$(programs_folder)\\コルヴァニ"
  mkdir -p "$(unix_path "$sm")" || return 1
  probe link "$sm\\${PRODUCT}.lnk" "$typed${sep}korvani.exe" &&
    probe link "$sm\\${PRODUCT}起動.lnk" "$typed${sep}update.exe" &&
    probe link "$sm\\${PRODUCT}アンインストール.lnk" "$typed${sep}uninst.exe" &&
    probe link "$(desktop_folder)\\${PRODUCT}.lnk" "$desktop_target" &&
    probe regset "$REG_KEY" Path "$typed"
}

# Removes whatever an earlier run may have left of an installation in FOLDER and of the
# shortcuts and registry entries, so that each script starts from a known state.
clear_installation() {  # FOLDER
  local linux
  linux=$(unix_path "$1") && rm -rf "$linux"
  rm -rf "$(unix_path "$(programs_folder)\\コルヴァニ")"
  rm -f "$(unix_path "$(desktop_folder)\\${PRODUCT}.lnk")"
  probe regdelete "$REG_PARENT" >/dev/null || true
}

# Lists what exists of an installation (for before/after comparisons).
installation_state() {  # FOLDER
  local linux sm desk
  linux=$(unix_path "$1")
  sm=$(unix_path "$(programs_folder)\\コルヴァニ")
  desk=$(unix_path "$(desktop_folder)\\${PRODUCT}.lnk")
  { [ -d "$linux" ] && find "$linux" -type f -printf 'file %P %s\n' | sort
    [ -d "$sm" ] && find "$sm" -printf 'startmenu %P\n' | sort
    [ -e "$desk" ] && echo "desktop link"
    probe regget "$REG_KEY" Path | sed 's/^/registry Path=/'
  } 2>/dev/null
}

copies_in_temp() { find "$(unix_path "$(temp_folder)")" -maxdepth 1 -iname 'korvani-uninst-*' 2>/dev/null; }
