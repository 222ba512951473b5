#!/usr/bin/env bash
# The Debian package holds exactly what `cmake --install` puts under /usr; lintian (if any) finds no error.
source "$(dirname "$0")/Common.sh"

build="$(dirname "$program")"
cpack -B "$work/package" --config "$build/CPackConfig.cmake" >cpack.txt 2>&1 || fail "cpack: $(cat cpack.txt)"
package="$(ls "$work"/package/ridgeline_*.deb)"
dpkg-deb --contents "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >packed.txt
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
(cd root && find . ! -type d | sed 's|^\./||' | sort) >installed.txt
diff installed.txt packed.txt >&2 || fail "the package and the install rules differ"
grep -qx 'usr/games/ridgeline' packed.txt || fail "no program in the package"
dpkg-deb --field "$package" Depends | grep -q libsdl2-mixer || fail "the package names no library it needs"
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$package" >lintian.txt 2>&1 || true
    sed 's/^/lintian: /' lintian.txt
    grep -q '^E:' lintian.txt && fail "lintian found errors"
fi
echo "ok"
