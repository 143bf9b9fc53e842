#!/usr/bin/env bash
# Builds and runs one benchmark under Wine on a display of its own with a
# 1600x1200 screen (the maximised figures need it), printing its figures.
#   tools/bench.sh NAME [ARGS...]      e.g. tools/bench.sh frame_bench 40
# MELVANE_BUILD picks another build folder, e.g. one of an older revision
# into whose bin folder the benchmark has been copied.
set -euo pipefail
source "$(dirname "$0")/env.sh"
name=$1
shift
[ -n "${MELVANE_NO_BUILD:-}" ] || melvane_build >/dev/null
unset DISPLAY
export MELVANE_SCREEN=${MELVANE_SCREEN:-1600x1200x24}
trap melvane_stop_display EXIT
melvane_start_display
melvane_boot_wine
cd "$BUILD/bin" && wine "$name.exe" "$@"
