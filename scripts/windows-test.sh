#!/bin/sh
# SPDX-License-Identifier: MIT
# The Windows build's tests under Wine: its unit tests (built with MinGW, run by CTest through
# Wine) and the end-to-end tests of its program folder (driven from the Linux build), in a Wine
# prefix of their own in a temporary folder, on Xvfb.
#   scripts/windows-test.sh LINUX_BUILD WINDOWS_BUILD
set -eu
build=$(cd "$1" && pwd)
winbuild=$(cd "$2" && pwd)

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/glimmerdel-wine-XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

start=$(date +%s)
echo "== Windows unit tests under Wine (prefix $WINEPREFIX)"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" sh -c '
    wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
    cd "$1" && ctest -L windows --output-on-failure
    status=$?
    wineserver -k 2>/dev/null || true
    exit $status' sh "$winbuild"

echo "== Windows end-to-end tests under Wine"
cd "$build" && GLIMMERDEL_WINDOWS_DIR="$winbuild" ctest -L wine --output-on-failure
echo "== Windows tests took $(( $(date +%s) - start )) s"
