#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine (and Xvfb when there is no
# display). Extra arguments go to ctest, e.g. tools/test.sh -R frame.
set -euo pipefail
source "$(dirname "$0")/env.sh"
bash "$ROOT/tools/setup.sh"
melvane_build
melvane_start_wine
cd "$BUILD"
ctest --output-on-failure -j 2 "$@"
