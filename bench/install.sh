#!/bin/bash
# The installer's figures for a vendor, from the release build (scripts/build) under Wine:
# - the program part of dist/Setup.exe (the file less its payload resource);
# - its start-up, from the start of the process to the visible setup dialog, beside a
#   program that opens one empty window;
# - the install of a large payload (the copyright texts of the system's packages and some
#   of its shared libraries, about 900 files and 50 MB, gathered here), packed by
#   scripts/package's rule in the release tree and timed from the start button to the
#   outcome box with the end-to-end driver, beside Wine's xcopy of the same files.
# Best of N runs, interleaved. With --compare CHECKOUT, another checkout of this project
# (a clone of an earlier commit, say) is built the same way and measured in the same runs.
# Figures only: nothing here fails on time.
#
# Usage: bench/install.sh [--runs N] [--compare CHECKOUT]
# Environment: BUILD_ROOT (default: build), JOBS.
set -u
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_ROOT=${BUILD_ROOT:-build}
case $BUILD_ROOT in /*) ;; *) BUILD_ROOT="$ROOT/$BUILD_ROOT" ;; esac
runs=3
compare=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --compare) compare=$(cd "$2" && pwd) || exit 2; shift 2 ;;
    *) echo "usage: bench/install.sh [--runs N] [--compare CHECKOUT]" >&2; exit 2 ;;
  esac
done
BENCH="$BUILD_ROOT/bench-install"
mkdir -p "$BENCH"
LOG="$BENCH/log"
: >"$LOG"

die() { echo "install bench: $*" >&2; exit 1; }

# compare_build CHECKOUT: its release build and its installer of the large payload,
# $BENCH/compare-Setup.exe, each by its own scripts (in their default build folder).
compare_build() {
  echo "==> release build of $1"
  (unset BUILD_ROOT; "$1/scripts/build") >>"$LOG" 2>&1 || die "the release build of $1 failed ($LOG)"
  echo "==> packing the large payload with $1"
  (cd "$BENCH/files" && unset BUILD_ROOT &&
     WIN_TREE="$1/build/release/win" "$1/scripts/package" "$BENCH/compare-Setup.exe" "${INPUTS[@]}") \
    >>"$LOG" 2>&1 || die "scripts/package of $1 failed ($LOG)"
}

# The payload: every package's copyright text, then shared libraries (below 8 MB, the
# largest first) until the files make 50 MB; the three programs the installer's shortcuts
# start, from the release build. Kept as the files stand in the install folder, for xcopy.
gather() {
  rm -rf "$BENCH/files"
  mkdir -p "$BENCH/files/doc" "$BENCH/files/lib"
  local f name total=0 limit=$((50 * 1024 * 1024))
  INPUTS=()
  for f in /usr/share/doc/*/copyright; do
    [ -f "$f" ] && [ -r "$f" ] && [ -s "$f" ] || continue
    name=$(basename "$(dirname "$f")")
    mkdir -p "$BENCH/files/doc/$name"
    cp -L "$f" "$BENCH/files/doc/$name/copyright"
    INPUTS+=("doc\\$name\\copyright=doc/$name/copyright")
    total=$((total + $(stat -c %s "$f")))
  done
  while read -r f; do
    [ "$total" -lt "$limit" ] || break
    name=$(basename "$f")
    cp "$f" "$BENCH/files/lib/$name"
    INPUTS+=("lib\\$name=lib/$name")
    total=$((total + $(stat -c %s "$f")))
  done < <(find /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f -name 'lib*.so.*' -size -8M -printf '%s %p\n' |
             LC_ALL=C sort -k1,1nr -k2 | cut -d' ' -f2- | awk '{k=tolower($0)} !seen[k]++')
  for f in korvani.exe update.exe UnInst.exe; do
    cp "$BUILD_ROOT/release/win/payload/files/$f" "$BENCH/files/$f"
    INPUTS+=("$f")
  done
  FILE_COUNT=${#INPUTS[@]}
  PAYLOAD_MB=$(find "$BENCH/files" -type f -printf '%s\n' | awk '{t += $1} END {printf "%.1f", t / 1048576}')
}

echo "==> release build of this tree"
scripts/build >>"$LOG" 2>&1 || die "scripts/build failed ($LOG)"
gather
echo "==> packing the large payload ($FILE_COUNT files, $PAYLOAD_MB MB)"
(cd "$BENCH/files" && WIN_TREE="$BUILD_ROOT/release/win" "$ROOT/scripts/package" \
   "$BENCH/this-Setup.exe" "${INPUTS[@]}") >>"$LOG" 2>&1 || die "scripts/package failed ($LOG)"
names=(this)
checkouts=("$ROOT")
roots=("$BUILD_ROOT")
if [ -n "$compare" ]; then
  compare_build "$compare"
  names+=(compare)
  checkouts+=("$compare")
  roots+=("$compare/build")
fi

WIN="$BUILD_ROOT/release/win"
cmake --build "$WIN" -j"${JOBS:-2}" --target driver empty_window >>"$LOG" 2>&1 ||
  die "the driver did not build ($LOG)"
DRIVER="$WIN/tests/driver.exe"
EMPTY="$WIN/bench/empty_window.exe"

# A Wine prefix and a virtual display of the benchmark's own.
export WINEPREFIX="$BENCH/wine-prefix"
. scripts/wine-env.sh
KORVANI_OWN_XVFB=1
. scripts/xvfb.sh
cleanup() {
  WINEPREFIX="$BENCH/wine-prefix" wineserver -k >/dev/null 2>&1
  xvfb_stop
}
trap cleanup EXIT
xvfb_start || die "no virtual display"
echo "==> starting Wine ($WINEPREFIX)"
wine_start_server

drv() { wine "$DRIVER" "$@" </dev/null 2>>"$LOG" 9>&-; }
now() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN {printf "%.2f", ns / 1e9}'; }
unix_c() { printf '%s/drive_c/%s\n' "$WINEPREFIX" "$1"; }
wait_pid() {  # pid: at most 60 s
  local i=0
  while kill -0 "$1" 2>/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# startup EXE WINDOW: nanoseconds from the start to the visible window; then closed.
startup() {
  local t0 pid
  t0=$(now)
  wine "$1" </dev/null >/dev/null 2>&1 9>&- &
  pid=$!
  drv wait "$2" 60000 || die "$1: no window $2"
  echo $(($(now) - t0))
  drv close "$2"
  wait_pid "$pid"
}

# install EXE FOLDER: nanoseconds from the start button to the outcome box, which must
# report success.
install() {
  local t0 t pid
  rm -rf "$(unix_c "bench/$2")"
  wine "$1" </dev/null >/dev/null 2>&1 9>&- &
  pid=$!
  drv wait 'TSetupForm|' 60000 || die "$1: no setup dialog"
  drv settext 'TSetupForm|' class=Edit "C:\\bench\\$2" || die "cannot type the folder"
  t0=$(now)
  drv click 'TSetupForm|' 'セットアップ開始' || die "cannot press the start button"
  drv wait 'TMessageForm|' 900000 || die "$1: no outcome box"
  t=$(($(now) - t0))
  drv dump 'TMessageForm|' | grep -q 'text=セットアップが正常に終了しました' ||
    die "$1: the install did not succeed"
  drv click 'TMessageForm|' OK
  wait_pid "$pid"
  echo "$t"
}

xcopy_once() {
  local t0
  rm -rf "$(unix_c bench/xcopy)"
  t0=$(now)
  wine xcopy /E /I /Q /Y "Z:${BENCH//\//\\}\\files" 'C:\bench\xcopy' </dev/null >/dev/null 2>&1 9>&- ||
    die "xcopy failed"
  echo $(($(now) - t0))
}

best() {  # keeps the smaller of variable $1 and value $2
  [ -n "$2" ] || exit 1
  if [ -z "${!1:-}" ] || [ "$2" -lt "${!1}" ]; then printf -v "$1" '%s' "$2"; fi
}

echo "==> $runs runs, interleaved: install of $FILE_COUNT files ($PAYLOAD_MB MB), xcopy, start-up"
mkdir -p "$(unix_c bench)"
# Once before timing: the prefix, the fonts and the file cache warm.
startup "$EMPTY" 'BenchEmptyWindow|' >/dev/null
for run in $(seq "$runs"); do
  for i in "${!names[@]}"; do
    n=${names[$i]}
    best "install_$n" "$(install "$BENCH/$n-Setup.exe" "$n")"
    best "startup_$n" "$(startup "${checkouts[$i]}/dist/Setup.exe" 'TSetupForm|')"
  done
  best xcopy "$(xcopy_once)"
  best empty "$(startup "$EMPTY" 'BenchEmptyWindow|')"
  echo "  run $run done"
done
rm -rf "$(unix_c bench)"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo
echo "Install of $FILE_COUNT files, $PAYLOAD_MB MB, under Wine; best of $runs:"
printf '  %-34s %10s %10s %14s %12s %10s\n' "" "install s" "x xcopy" "program part" "start-up s" "x empty"
for i in "${!names[@]}"; do
  n=${names[$i]}
  dir=${checkouts[$i]}
  part=$(($(stat -c %s "$dir/dist/Setup.exe") - $(stat -c %s "${roots[$i]}/release/win/payload/korvani.tlz")))
  label="dist/Setup.exe ($n: $(git -C "$dir" log -1 --format=%h 2>/dev/null))"
  v=install_$n; s=startup_$n
  printf '  %-34s %10s %10s %14s %12s %10s\n' "$label" "$(seconds "${!v}")" "$(ratio "${!v}" "$xcopy")" \
    "$part" "$(seconds "${!s}")" "$(ratio "${!s}" "$empty")"
done
printf '  %-34s %10s\n' "Wine's xcopy of the same files" "$(seconds "$xcopy")"
printf '  %-34s %10s %10s %14s %12s\n' "a program with one empty window" "" "" "" "$(seconds "$empty")"
