#!/usr/bin/env bash
# Installs what building and running Melvane needs on a Debian machine:
# the i386 architecture, 32-bit Wine, Xvfb, MinGW-w64 (posix threads), zlib for
# MinGW, stb, the GoogleTest sources, CMake and a CJK font. Does nothing when all is there.
set -euo pipefail
need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64 g++-mingw-w64-i686-posix)
[ -f /usr/i686-w64-mingw32/lib/libz.a ] || need+=(libz-mingw-w64-dev)
[ -f /usr/include/stb/stb_image.h ] || need+=(libstb-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v cmake >/dev/null || need+=(cmake)
command -v wine >/dev/null || need+=(wine wine32 wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xauth >/dev/null || need+=(xauth)
# Glyphs for the Chinese and Japanese translations under Wine (tools/env.sh).
[ -f /usr/share/fonts/truetype/wqy/wqy-microhei.ttc ] || need+=(fonts-wqy-microhei)
[ ${#need[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "setup: installing ${need[*]}"
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}" xauth xvfb
