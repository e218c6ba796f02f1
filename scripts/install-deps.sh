#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, running and testing need.
# A no-op when everything is present; otherwise one non-interactive apt-get run as root.
set -eu

PACKAGES="
g++ cmake ninja-build make pkg-config
libfltk1.3-dev libx11-dev libxext-dev libxfixes-dev libxdamage-dev libstb-dev
libgtest-dev libgmock-dev libbenchmark-dev
fonts-dejavu-core
libxrandr-dev libxinerama-dev
xvfb xdotool x11-utils x11-apps xdg-utils xscreensaver libxml2-utils
xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
libwayland-dev libwayland-bin wayland-protocols sway grim wtype weston libegl-mesa0 libgl1-mesa-dri
dpkg-dev lintian appstream
clang libclang-rt-14-dev clang-tidy cppcheck valgrind
"
# What only the benchmarks need: the peer they are compared with.
BENCH_PACKAGES="xsnow"
# What the Windows build and its tests need: the cross compiler, GoogleTest's sources for it,
# Wine to run it, zip and NSIS for the zip file and the installer.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64 googletest wine wine64 zip nsis"
for option in "$@"; do
    case "$option" in
        --bench) PACKAGES="$PACKAGES $BENCH_PACKAGES" ;;
        --windows) PACKAGES="$PACKAGES $WINDOWS_PACKAGES" ;;
    esac
done

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *" installed") ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing Debian packages:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "error: these packages are missing and this is not root:$missing" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
