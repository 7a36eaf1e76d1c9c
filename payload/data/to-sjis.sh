#!/bin/bash
# Writes a text kept in UTF-8 with LF line ends as the Shift-JIS (code page 932) text
# with CRLF line ends that the installed application reads.
# Usage: to-sjis.sh SOURCE TARGET
set -euo pipefail
iconv -f UTF-8 -t CP932 "$1" | sed 's/$/\r/' >"$2.tmp"
mv "$2.tmp" "$2"
