# Shared by the end-to-end scripts: the Wine environment of the Windows build tree,
# the driver, starting Setup.exe, checks and screenshots.
# Expects SOURCE_DIR, WINEPREFIX, SETUP_EXE, DRIVER_EXE (set by ctest) and DISPLAY.
set -u
. "$SOURCE_DIR/scripts/wine-env.sh"
wine_start_server

E2E_NAME=$(basename "$0" .sh)
E2E_TMP=$(mktemp -d)
E2E_FAILS=0
E2E_PIDS=""
ARTIFACTS=${KORVANI_ARTIFACTS:-$BUILD_DIR/artifacts}
mkdir -p "$ARTIFACTS"

e2e_cleanup() {
  for p in $E2E_PIDS; do kill "$p" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# The driver, its output in UTF-8.
drv() { wine "$DRIVER_EXE" "$@" </dev/null 2>&1 9>&-; }

fail() { echo "FAIL: $*"; E2E_FAILS=$((E2E_FAILS + 1)); }
pass() { echo "ok: $*"; }

# expect_line FILE LINE DESCRIPTION: the file holds exactly that line.
expect_line() {
  if grep -qxF -- "$2" "$1"; then pass "$3"; else fail "$3: no line '$2' in:"; sed 's/^/    /' "$1"; fi
}

# check ACTUAL EXPECTED DESCRIPTION
check() {
  if [ "$1" = "$2" ]; then pass "$3"; else fail "$3: got '$1', expected '$2'"; fi
}

# start_setup [EXE]: starts the installer in the background with its debug strings
# traced to $E2E_TMP/setup.log; SETUP_PID is its wine process.
start_setup() {
  local exe=${1:-$SETUP_EXE}
  WINEDEBUG=-all,+debugstr wine "$exe" </dev/null >"$E2E_TMP/setup.log" 2>&1 9>&- &
  SETUP_PID=$!
  E2E_PIDS="$E2E_PIDS $SETUP_PID"
  drv wait 'TSetupForm|' 30000 >/dev/null || fail "the setup dialog did not appear"
}

# wait_setup_exit: waits for the installer (at most 60 s) and sets SETUP_RC.
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

e2e_finish() {
  if [ "$E2E_FAILS" -eq 0 ]; then echo "$E2E_NAME: all checks passed"; exit 0; fi
  echo "$E2E_NAME: $E2E_FAILS checks failed"
  exit 1
}
