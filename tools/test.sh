#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine (and Xvfb when there is no
# display). Extra arguments go to ctest, e.g. tools/test.sh -R frame.
set -euo pipefail
source "$(dirname "$0")/env.sh"
bash "$ROOT/tools/setup.sh"
melvane_build
trap melvane_stop_display EXIT
melvane_start_display
melvane_boot_wine
melvane_start_wine_services
cd "$BUILD"
ctest --output-on-failure -j 2 "$@"
