#!/usr/bin/env bash
# The sanitized build's leak check reports memory that the game's own code
# loses, also inside the window library's callbacks, and nothing of the
# libraries underneath: the probe loses one block in its display callback
# and leaves with exit(0), as the finish button does. The report must fail
# the process, name the probe's function and hold no other leak. This guards
# the suppressions file and the order of the exit handlers. Builds without
# the leak checker skip the test.
probe="$(realpath "$4")"
source "$(dirname "$0")/Common.sh"

status=0
"$probe" >stdout.txt 2>stderr.txt || status=$?
if [ "$status" = 77 ]; then
    echo "skipped: no leak checker in this build"
    exit 77
fi
[ "$status" != 0 ] || fail "the lost block went unreported (exit code 0)"
grep -q "LeakSanitizer: detected memory leaks" stderr.txt || fail "no leak report (exit code $status)"
grep -q " in \(.*::\)\?LoseABlock .*LeakProbe.cpp" stderr.txt || fail "the report does not name the function that lost the block"
records="$(grep -c '^\(Direct\|Indirect\) leak of' stderr.txt || true)"
[ "$records" = 1 ] || fail "$records leak records where only the probe's block was lost"
echo "ok"
