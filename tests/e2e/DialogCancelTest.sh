#!/usr/bin/env bash
# Escape in the dialog ends the program with exit code 0: no game window,
# and none of the choices is written.
source "$(dirname "$0")/Common.sh"

printf 'fullscreen=1\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Escape
for _ in $(seq 1 200); do
    [ -z "$(xdotool search --name '^Game$' 2>/dev/null || true)" ] || fail "a Game window opened after Cancel"
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
wait_for_exit
[ "$exit_code" = 0 ] || fail "Escape in the dialog ended with $exit_code"
[ "$(setting fullscreen)" = 1 ] || fail "\"fullscreen\" changed to $(setting fullscreen)"
for key in lastresolution fps debuginfo sound; do
    [ "$(setting $key)" = "(missing)" ] || fail "Cancel wrote \"$key\""
done
echo "ok"
