# Sourced: starts a private virtual X display when none is set, and ends it (and only
# it) on exit. Sets DISPLAY. The caller's EXIT trap must call xvfb_stop.
XVFB_PID=""
xvfb_start() {
  if [ -n "${DISPLAY:-}" ] && [ "${KORVANI_OWN_XVFB:-0}" != 1 ]; then
    return 0
  fi
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
}
xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
