# Sourced by the scripts that start Wine: the environment every Wine process of this
# project runs in, and the one-time preparation of its private prefix.
# WINEPREFIX must be set by the caller (the build tree's prefix); nothing here ever
# falls back to ~/.wine.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-env.sh: WINEPREFIX is not set" >&2
  return 1 2>/dev/null || exit 1
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE

# Creates the prefix once: home folders as real folders (a fresh prefix links them to
# $HOME, so a desktop shortcut would land there); then the fonts.
# Runs under the caller's lock; fd 9 is closed for every Wine process so the
# background services never inherit the lock.
wine_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i </dev/null >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    for d in "$WINEPREFIX/drive_c/users/$(id -un)"/*; do
      if [ -L "$d" ]; then rm "$d"; mkdir "$d"; fi
    done
    touch "$WINEPREFIX/.ready"
  fi
  wine_prepare_fonts
  wine_prepare_display
}

# The faces the forms ask for, replaced by fonts drawn to the same metrics, so that each
# text fits its control as laid out; and Marlett, with which Wine draws the title-bar
# buttons (this Wine does not look for it in its own data folder). Also applied to a
# prefix made before.
wine_prepare_fonts() {
  [ -f "$WINEPREFIX/.fonts-ume" ] && return 0
  local key='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$key" /v 'MS UI Gothic' /t REG_SZ /d 'Ume UI Gothic' /f </dev/null >/dev/null 2>&1 9>&-
  wine reg add "$key" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d 'Ume P Gothic' /f </dev/null >/dev/null 2>&1 9>&-
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
  wineserver -w 9>&-
  touch "$WINEPREFIX/.fonts-ume"
}

# Unmanaged windows: the virtual display has no window manager, and Wine waits up to
# two seconds for one whenever a managed window is hidden.
wine_prepare_display() {
  [ -f "$WINEPREFIX/.unmanaged" ] && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
  touch "$WINEPREFIX/.unmanaged"
}

# Starts the prefix's server (kept 30 s after its last client, then it ends by itself)
# and its services with every standard stream detached, so that nothing of Wine's
# background holds the pipes of the caller (ctest waits for them to close).
wine_start_server() {
  (
    flock 9
    wine_prepare_prefix
    if wineserver -p30 </dev/null >/dev/null 2>&1 9>&-; then
      wine wineboot </dev/null >/dev/null 2>&1 9>&-
    fi
  ) 9>"$WINEPREFIX.lock"
}
