#!/usr/bin/env bash
# `cmake --install` into a temporary prefix, then the menu entry's command with a fresh HOME from another
# folder: settings in ~/.config, logs in ~/.local/state, nothing changed under the prefix or where it started.
source "$(dirname "$0")/Common.sh"

build="$(dirname "$program")"
prefix="$work/prefix"
export HOME="$work/home" SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME XDG_STATE_HOME
mkdir -p "$HOME" elsewhere
cmake --install "$build" --prefix "$prefix" >install.txt || fail "cmake --install failed: $(cat install.txt)"

for file in games/ridgeline share/{ridgeline/installed-data,ridgeline/TestLevel/objects.xml} \
    share/{applications/ridgeline.desktop,metainfo/ridgeline.metainfo.xml,man/man6/ridgeline.6.gz,doc/ridgeline/copyright}; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for size in 48 64 128 256; do
    [ "$(identify -format '%wx%h %m' "$prefix/share/icons/hicolor/${size}x${size}/apps/ridgeline.png")" = \
        "${size}x${size} PNG" ] || fail "no ${size}x${size} PNG icon"
done
leftovers="$(find "$prefix/share/ridgeline" -name 'log_*' -o -name gfxconfig.ini -o -name '*.tmp')"
[ -z "$leftovers" ] || fail "files of a run were installed: $leftovers"
desktop-file-validate "$prefix/share/applications/ridgeline.desktop" >&2 || fail "the menu entry is invalid"
# Warnings allowed (the plain id "ridgeline" is not a reversed domain name).
appstreamcli validate --no-net "$prefix/share/metainfo/ridgeline.metainfo.xml" >appstream.txt 2>&1 || true
grep -q '^E:' appstream.txt && fail "the AppStream metadata is invalid: $(cat appstream.txt)"

snapshot() { (cd "$prefix" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot >before.txt

installed="$prefix/games/ridgeline"
"$installed" --version | grep -qx 'ridgeline [0-9.]*' || fail "--version: $("$installed" --version)"
"$installed" --help >help.txt
for line in "Data: *$prefix/share/ridgeline/" "Settings: *$HOME/.config/ridgeline/gfxconfig.ini" \
    "Logs: *$HOME/.local/state/ridgeline/log_error.txt" "Saved games: *$HOME/.local/state/ridgeline/saves/"; do
    grep -q "^$line" help.txt || fail "--help does not say \"$line\": $(cat help.txt)"
done
[ -z "$(ls -A "$HOME")" ] || fail "--help created a folder"

# Without a display: the message, exit code 1, and the sound library's complaint in the state folder's log.
code=0
(cd elsewhere && DISPLAY=:4093 SDL_AUDIODRIVER=none-such "$installed" 2>../stderr.txt) || code=$?
[ "$code" = 1 ] && grep -q "cannot open the X display" stderr.txt || fail "without a display: code $code"
state="$HOME/.local/state/ridgeline"
grep -q "none-such" "$state/log_info.txt" "$state/log_error.txt" 2>/dev/null || fail "no log in $state"
[ "$(stat -c %a "$state")" = 700 ] || fail "$state is not private"

config="$HOME/.config/ridgeline"
mkdir -p "$config"
printf 'fullscreen=0\ndebuginfo=1\n' >"$config/gfxconfig.ini"
command="$(sed -n 's/^Exec=//p' "$prefix/share/applications/ridgeline.desktop")"
(cd elsewhere && PATH="$prefix/games:$PATH" exec $command >../stdout.txt 2>../stderr.txt) &
pid=$!
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Return
game="$(wait_for_window Game)" || fail "no Game window"
within 90 shows_level || level_missing "the installed game"
quit_game Escape

grep -q '^resolutions=' "$config/gfxconfig.ini" || fail "the dialog did not store its choices in $config"
[ -z "$(ls -A elsewhere)" ] || fail "the program wrote into the folder it was started from: $(ls -A elsewhere)"
snapshot >after.txt
diff before.txt after.txt >&2 || fail "the installed files changed"
echo "ok"
