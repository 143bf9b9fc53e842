#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine with the build's own prefix.
# MELVANE_WINEPREFIX (set by the test script) wins; otherwise the prefix sits
# next to the build tree's CMakeCache.
set -e
if [ -z "${MELVANE_WINEPREFIX:-}" ]; then
    d=$(pwd)
    while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
    [ -f "$d/CMakeCache.txt" ] || d=$(pwd)
    MELVANE_WINEPREFIX="$d/wineprefix"
fi
export WINEPREFIX="$MELVANE_WINEPREFIX"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
