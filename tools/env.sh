# Sourced by the scripts: build folder, Wine prefix and a display.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${MELVANE_BUILD:-$ROOT/build}
export MELVANE_WINEPREFIX=$BUILD/wineprefix
export WINEPREFIX=$MELVANE_WINEPREFIX WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

melvane_build() {
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" \
        -DMELVANE_WERROR="${MELVANE_WERROR:-OFF}" >/dev/null
    cmake --build "$BUILD" -j "$(nproc)"
}

# Starts Xvfb on a free display when there is none (screen size from
# MELVANE_SCREEN, e.g. 1600x1200x24); melvane_stop_display ends it.
XVFB_PID=""
melvane_start_display() {
    if [ -n "${DISPLAY:-}" ]; then return; fi
    local n=91
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 ${MELVANE_SCREEN:-1280x1024x24} -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
}
melvane_stop_display() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}

# Starts the prefix's wineserver and its services (explorer, services.exe, ...)
# with nothing of ours as their output: the first Wine program to run starts
# them otherwise, they keep its standard error open, and ctest waits for that
# pipe to close long after the test itself has ended.
melvane_start_wine_services() {
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

melvane_boot_wine() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/.melvane-ready" ]; then
        wineboot -i >/dev/null 2>&1 || true
        # Unmanaged windows: without a window manager (Xvfb) Wine would wait two
        # seconds for every destroyed top-level window to be withdrawn.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.melvane-ready"
    fi
    if [ ! -f "$WINEPREFIX/.melvane-cjk-fonts" ]; then
        melvane_link_cjk_font
        touch "$WINEPREFIX/.melvane-cjk-fonts"
    fi
}

# What a script that runs our Wine programs needs: a display (Xvfb when there
# is none, stopped when the script exits), a booted prefix and its services.
melvane_start_wine() {
    trap melvane_stop_display EXIT
    melvane_start_display
    melvane_boot_wine
    melvane_start_wine_services
}

# The skin names "Ms Sans Serif"; Wine's has no Chinese or Japanese glyphs.
# As Windows does with its own fonts, the prefix links the skin's face (and
# the faces Wine falls back to) to the CJK font that setup.sh installs, so
# that texts in the shipped translations draw instead of empty boxes.
melvane_link_cjk_font() {
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local face
    for face in "MS Sans Serif" "Tahoma" "Microsoft Sans Serif"; do
        wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1 || true
    done
    wineserver -w >/dev/null 2>&1 || true
}
