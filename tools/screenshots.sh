#!/usr/bin/env bash
# Saves the standard pictures of the product into build/screenshots/ (under
# Xvfb when there is no display):
#   first-look.png                the host at start-up with the sample library
#   player-score-200-right.png    a page at 200 %, scrolled to its right edge
#   player-count-in-2.png         the count-in before playing
#   panel-folder-menu.png         a folder's context menu in the library
#   name-dialog.png               the dialog that names a folder
#   player-open-error.png         the message for a score that cannot be opened
# The pictures other than the first come from the tests that check them.
set -euo pipefail
source "$(dirname "$0")/env.sh"
bash "$ROOT/tools/setup.sh"
melvane_build
melvane_start_wine
shots=$BUILD/screenshots
mkdir -p "$shots"
cd "$BUILD/bin"
wine melvane-host.exe --player-shot 'Z:'"${shots//\//\\}"'\first-look.png' --quit-after "${MELVANE_RUN_MS:-6000}"
take() {
    wine "$1" --gtest_filter="$2" >/dev/null 2>&1 || echo "warning: $1 $2 failed; its pictures may be missing" >&2
}
take player_view_tests.exe 'PlayerView.AZoomedPage*'
take player_work_tests.exe 'PlayerAtWork.CountIn*:PlayerAtWork.RefusedFiles*'
take library_panel_tests.exe 'PanelRows.EveryVisibleRow*:NameDialog.IsAModal*'
for shot in first-look player-score-200-right player-count-in-2 panel-folder-menu name-dialog player-open-error; do
    echo "$shots/$shot.png"
done
