# Sourced: starts a private virtual X display when none is set, and ends it (and only
# it) on exit. Sets DISPLAY. The caller's EXIT trap must call xvfb_stop.
XVFB_PID=""
xvfb_start() {
  if [ -n "${DISPLAY:-}" ] && [ "${KORVANI_OWN_XVFB:-0}" != 1 ]; then
    return 0
  fi
  # Xvfb picks a free display itself and writes its number to fd 3, so two scripts
  # started at once never share or fight over one display.
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 3>"$numfile" &
  XVFB_PID=$!
  local i=0
  while [ ! -s "$numfile" ] && [ $i -lt 200 ]; do
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05; i=$((i + 1))
  done
  local n
  n=$(tr -dc 0-9 <"$numfile"); rm -f "$numfile"
  if [ -z "$n" ]; then
    echo "xvfb: the virtual display did not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
}
xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
