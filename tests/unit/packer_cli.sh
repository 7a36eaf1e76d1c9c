#!/bin/bash
# tlzpack as a command: built with the stack protector, help, exit codes (0 success, 1 bad
# input, 2 bad usage), and a pack / list / verify / extract round trip through real files.
set -u
TLZPACK="$BUILD_DIR/tools/packer/tlzpack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect CODE COMMAND...: runs the command, output in $work/out and $work/err.
expect() {
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "exit $got, expected $want: $* ($(head -c 300 "$work/err"))"
}
expect_text() {  # FILE TEXT
  grep -qF -- "$2" "$1" || fail "\"$2\" not in $(basename "$1"): $(head -c 300 "$1")"
}

# verifies_and_extracts ARCHIVE DIR THIRD: verify finds the three entries, and extract
# writes into DIR the numbers, the program in bin\ and a.txt under the name THIRD.
verifies_and_extracts() {
  expect 0 "$TLZPACK" verify "$1"
  expect_text "$work/out" "OK, 3 entries"
  expect 0 "$TLZPACK" extract "$1" "$2"
  cmp -s "$work/in/numbers.txt" "$2/numbers.txt" || fail "$1: numbers.txt differs"
  cmp -s "$work/in/program.bin" "$2/bin/program.bin" || fail "$1: program.bin differs"
  cmp -s "$work/in/a.txt" "$2/$3" || fail "$1: $3 differs"
}

[ -x "$TLZPACK" ] || { echo "FAIL: no tlzpack at $TLZPACK"; exit 1; }

# Built with the stack protector: its functions call the C library's check.
nm -D "$TLZPACK" | grep -qw __stack_chk_fail || fail "tlzpack has no stack protector"

# Help and usage.
expect 0 "$TLZPACK" --help
expect_text "$work/out" "tlzpack pack [--best] [--inputs LIST] [--] ARCHIVE INPUT..."
expect_text "$work/out" "Exit codes"
for command in pack list verify extract encode decode; do
  expect 0 "$TLZPACK" "$command" --help
  expect_text "$work/out" "Usage: tlzpack $command"
  expect 0 "$TLZPACK" help "$command"
  expect_text "$work/out" "Usage: tlzpack $command"
done
expect 2 "$TLZPACK"
expect 2 "$TLZPACK" frobnicate
expect_text "$work/err" "unknown command"
expect 2 "$TLZPACK" pack "$work/a.tlz"
expect 2 "$TLZPACK" list
expect 2 "$TLZPACK" verify a b
expect 2 "$TLZPACK" extract a
expect 2 "$TLZPACK" encode a
expect 2 "$TLZPACK" decode a b
expect 2 "$TLZPACK" decode a b 12x
expect 2 "$TLZPACK" decode a b 4294967296
expect 2 "$TLZPACK" list --bogus a
expect 2 "$TLZPACK" pack "$work/a.tlz" "=nofile"

# A round trip.
mkdir -p "$work/in"
seq 1 30000 >"$work/in/numbers.txt"
head -c 100000 "$TLZPACK" >"$work/in/program.bin"
printf 'A' >"$work/in/a.txt"
: >"$work/in/empty"
expect 0 "$TLZPACK" pack "$work/a.tlz" "$work/in/numbers.txt" 'bin\program.bin='"$work/in/program.bin" \
  "セットアップ.txt=$work/in/a.txt"
expect_text "$work/out" "3 entries"
expect 0 "$TLZPACK" list "$work/a.tlz"
expect_text "$work/out" "numbers.txt"
expect_text "$work/out" 'bin\program.bin'
expect_text "$work/out" "セットアップ.txt"
expect_text "$work/out" "total: 3 entries"
verifies_and_extracts "$work/a.tlz" "$work/out-dir" セットアップ.txt
# The name is stored in Shift-JIS: "セ" is 83 5A.
od -An -tx1 -N4 -j$(( $(stat -c %s "$work/a.tlz") - 2 - 4 - 16 )) "$work/a.tlz" | grep -q '83 5a' ||
  fail "the Japanese name is not stored in Shift-JIS"
# The last entry "A": the stream 01 41 ends the archive.
[ "$(tail -c 2 "$work/a.tlz" | od -An -tx1 | tr -d ' \n')" = "0141" ] || fail "last stream is not 01 41"

# --best: smaller, and what verify and extract read back is the same files. Inputs come
# also from a list; a file named -h is an operand after --.
printf '%s\n' "$work/in/numbers.txt" 'bin\program.bin='"$work/in/program.bin" >"$work/list"
cp "$work/in/a.txt" "$work/in/-h"
(cd "$work/in" && expect 0 "$TLZPACK" pack --best --inputs "$work/list" -- "$work/best.tlz" -h)
verifies_and_extracts "$work/best.tlz" "$work/best-dir" -h
expect 0 "$TLZPACK" pack --inputs "$work/list" "$work/default.tlz" "$work/in/-h"
[ "$(stat -c %s "$work/best.tlz")" -lt "$(stat -c %s "$work/default.tlz")" ] ||
  fail "--best is not smaller than the default"
expect 0 "$TLZPACK" pack "$work/dash.tlz" -- --help="$work/in/a.txt"
[ -s "$work/dash.tlz" ] || fail "a file named --help after -- was not packed"
expect 2 "$TLZPACK" pack --inputs
expect 1 "$TLZPACK" pack --inputs "$work/no-list" "$work/x.tlz"

# Bare streams, the default and --best: both decode to the input, --best no larger.
for input in numbers.txt program.bin; do
  size=$(stat -c %s "$work/in/$input")
  expect 0 "$TLZPACK" encode "$work/in/$input" "$work/n.lzs"
  expect 0 "$TLZPACK" decode "$work/n.lzs" "$work/n.out" "$size"
  cmp -s "$work/in/$input" "$work/n.out" || fail "$input: encode/decode round trip differs"
  expect 0 "$TLZPACK" encode --best "$work/in/$input" "$work/b.lzs"
  expect 0 "$TLZPACK" decode "$work/b.lzs" "$work/b.out" "$size"
  cmp -s "$work/in/$input" "$work/b.out" || fail "$input: encode --best/decode round trip differs"
  [ "$(stat -c %s "$work/b.lzs")" -le "$(stat -c %s "$work/n.lzs")" ] ||
    fail "$input: encode --best is larger than the default"
done

# Bad input.
expect 1 "$TLZPACK" pack "$work/b.tlz" "$work/in/empty"
expect_text "$work/err" "empty"
[ ! -e "$work/b.tlz" ] || fail "a refused pack left an archive"
expect 1 "$TLZPACK" pack "$work/b.tlz" '..\x='"$work/in/a.txt"
expect 1 "$TLZPACK" pack "$work/b.tlz" "$work/in/missing"
expect 1 "$TLZPACK" list "$work/missing.tlz"
expect 1 "$TLZPACK" decode "$work/n.lzs" "$work/n.out" 999999999

# Out of memory: under an address-space limit in which the default encoder runs and
# --best cannot get its window, --best ends with a message and exit 1, leaving no
# output, no temporary file, and an archive already there as it was. The tool built
# without sanitizers runs this: AddressSanitizer cannot start under such a limit, and
# it would end the process on the failed allocation rather than let it be reported.
PLAIN="$BUILD_DIR/tools/packer/tlzpack_unsanitized"
[ -x "$PLAIN" ] || PLAIN=$TLZPACK
mkdir "$work/oom"
head -c 8000000 /dev/zero >"$work/oom/zeros"
printf 'old' >"$work/oom/old.tlz"
limited() { (ulimit -v 40000 && exec "$@"); }
expect 0 limited "$PLAIN" encode "$work/oom/zeros" "$work/oom/default.lzs"
expect 1 limited "$PLAIN" encode --best "$work/oom/zeros" "$work/oom/best.lzs"
expect_text "$work/err" "not enough memory"
[ ! -e "$work/oom/best.lzs" ] || fail "encode --best out of memory left its output"
expect 1 limited "$PLAIN" pack --best "$work/oom/old.tlz" "$work/oom/zeros"
expect_text "$work/err" "not enough memory"
[ "$(cat "$work/oom/old.tlz")" = old ] || fail "pack --best out of memory changed the archive there"
left=$(cd "$work/oom" && ls -A | grep -vxF -e zeros -e old.tlz -e default.lzs)
[ -z "$left" ] || fail "left behind: $left"

if [ "$failures" -eq 0 ]; then echo "packer_cli: all checks passed"; fi
[ "$failures" -eq 0 ]
