#!/usr/bin/env bash
# Without a display the dialog cannot be shown: a clear message on standard
# error and exit code 1.
source "$(dirname "$0")/Common.sh"

for display in ":4093" ""; do
    code=0
    DISPLAY="$display" "$program" >stdout.txt 2>stderr.txt || code=$?
    [ "$code" = 1 ] || fail "DISPLAY='$display' ended with $code, expected 1"
    grep -q "cannot open the X display" stderr.txt || fail "DISPLAY='$display' gave no clear message"
    [ ! -f gfxconfig.ini ] || fail "DISPLAY='$display' wrote gfxconfig.ini"
done
echo "ok"
