#!/bin/sh
# SPDX-License-Identifier: MIT
# Tests the Debian package that `make deb` made: its files, lintian (no errors; warnings shown),
# the AppStream file, then - as root - installs it with apt-get, runs the installed hack under
# the real xscreensaver (tests/e2e, InstalledPackage) and removes it, checking that no file it
# brought is left behind.
#   scripts/package-test.sh [BUILD-FOLDER-WITH-THE-TESTS]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
deb=$(ls glimmerdel_*_amd64.deb | sort -V | tail -1)
work=$(mktemp -d)
installed=""
cleanup() {
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq glimmerdel > /dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== $deb: contents"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/contents"
for path in /usr/bin/glimmerdel /usr/lib/glimmerdel/glimmerdel \
    /usr/lib/glimmerdel/GlimmerdelEmail.exe /usr/lib/glimmerdel/vantroglimmerdel.ini \
    /usr/lib/glimmerdel/vurezezideriru/glimmerdel/landscape.bmp \
    /usr/libexec/xscreensaver/glimmerdel /usr/share/xscreensaver/config/glimmerdel.xml \
    /usr/share/man/man6/glimmerdel.6.gz /usr/share/applications/glimmerdel.desktop \
    /usr/share/metainfo/example.glimmerdel.Glimmerdel.metainfo.xml \
    /usr/share/doc/glimmerdel/copyright /usr/share/doc/glimmerdel/changelog.gz; do
    grep -qx "$path" "$work/contents" || { echo "missing from the package: $path"; exit 1; }
done
dpkg-deb -f "$deb" Depends | tee "$work/depends"
grep -q libfltk "$work/depends" || { echo "dpkg-shlibdeps found no dependencies"; exit 1; }
grep -q libwayland-client "$work/depends" || { echo "dpkg-shlibdeps missed the Wayland library"; exit 1; }

echo "== lintian"
lintian --fail-on error "$deb"

echo "== AppStream"
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net \
    "$work/root/usr/share/metainfo/example.glimmerdel.Glimmerdel.metainfo.xml"

if [ "$(id -u)" -ne 0 ]; then
    echo "== not root: installing the package is left out"
    exit 0
fi
if dpkg-query -W -f='${Status}' glimmerdel 2>/dev/null | grep -q " installed"; then
    echo "glimmerdel is installed on this machine already: not touching it"
    exit 1
fi

echo "== apt-get install ./$deb"
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb" > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
for path in $(grep -v '/$' "$work/contents"); do
    [ -e "$path" ] || [ -L "$path" ] || { echo "not installed: $path"; exit 1; }
done
GLIMMERDEL_INSTALLED_PACKAGE=1 "$build/tests/e2e_tests" \
    --gtest_filter='InstalledPackage.*' --gtest_brief=1

echo "== apt-get remove glimmerdel"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq glimmerdel > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
installed=""
left=0
for path in $(grep -v '/$' "$work/contents"); do
    if [ -e "$path" ] || [ -L "$path" ]; then
        echo "left behind: $path"
        left=1
    fi
done
for folder in /usr/lib/glimmerdel /usr/share/doc/glimmerdel; do
    [ ! -e "$folder" ] || { echo "left behind: $folder"; left=1; }
done
[ $left -eq 0 ] || exit 1
echo "== the package installs, runs and goes without a trace"
