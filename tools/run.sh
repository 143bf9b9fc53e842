#!/usr/bin/env bash
# Sets up, builds and runs the practice host with the plug-in and the sample
# library. Without a display it runs under Xvfb, plays the score the plug-in
# opens at start and saves a screenshot to build/screenshot.png while notes
# sound; with a display the host starts idle.
#   tools/run.sh [--lang N] [--skin FOLDER]
set -euo pipefail
source "$(dirname "$0")/env.sh"
bash "$ROOT/tools/setup.sh"
melvane_build
if [ -z "${DISPLAY:-}" ]; then
    trap melvane_stop_display EXIT
    melvane_start_display
    melvane_boot_wine
    shot=$BUILD/screenshot.png
    (cd "$BUILD/bin" && wine melvane-host.exe "$@" --demo 1 --screenshot 'Z:'"${shot//\//\\}" --quit-after "${MELVANE_RUN_MS:-7000}")
    echo "screenshot: $shot"
else
    melvane_boot_wine
    cd "$BUILD/bin" && exec wine melvane-host.exe "$@"
fi
