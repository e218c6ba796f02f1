#!/bin/sh
# SPDX-License-Identifier: MIT
# Memcheck over two whole runs of the release build (`make valgrind`):
#   1. the snapshot tool: the saver's set-up and 100 frames, headless;
#   2. a settings dialog round trip under a private Xvfb: open with `glimmerdel /c`, close with
#      Escape (which saves), check that the settings file was written.
# Fails on any memory error and on memory definitely lost; prints each run's summary.
#
#   scripts/valgrind.sh [BUILD-FOLDER]
set -eu
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Runs the command under memcheck in place of the calling (sub)shell: in the background, $! is
# the process that valgrind runs in.
memcheck() {
    log=$1
    shift
    exec valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --suppressions="$here/valgrind.supp" --log-file="$log" "$@"
}

summary() {
    grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' "$1" |
        sed 's/^==[0-9]*== /    /'
}

status=0

echo "memcheck: glimmerdel-snapshot, 100 frames at 1024x600"
if (memcheck "$work/snapshot.log" "$build/glimmerdel-snapshot" --folder "$build" \
        --size 1024x600 --frames 100 --out "$work/snapshot.png"); then
    summary "$work/snapshot.log"
else
    summary "$work/snapshot.log"
    echo "memcheck found errors in the snapshot tool: $work/snapshot.log" >&2
    cat "$work/snapshot.log" >&2
    status=1
fi

echo "memcheck: settings dialog round trip (glimmerdel /c under Xvfb)"
# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$work/display" \
    > /dev/null 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 300); do
    display=$(head -n 1 "$work/display" 2> /dev/null) || true
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2> /dev/null || break
    sleep 0.1
done
if [ -z "$display" ] || ! DISPLAY=":$display" xdpyinfo > /dev/null 2>&1; then
    echo "Xvfb did not start (or does not answer): no dialog round trip" >&2
    exit 1
fi
export DISPLAY=":$display"
# A private program folder, so that the build's settings stay as they are.
mkdir -p "$work/program/runtime"
cp "$build/glimmerdel" "$build/vantroglimmerdel.ini" "$work/program/"
cp -r "$build/vurezezideriru" "$work/program/"
# Values in forms that the dialog never writes ("04", "7.0"): after the round trip the file
# holds them as the dialog writes them, which proves that it saved.
printf '[controls]\nlights=0\nchimneysmoke=1\nsnowing=1\nlightspeed=04\nsmokespeed=2\nsnowspeed=7.0\n' \
    > "$work/program/vantroglimmerdel.ini"
(
    export XDG_RUNTIME_DIR="$work/program/runtime" HOME="$work/program"
    memcheck "$work/dialog.log" "$work/program/glimmerdel" /c
) &
program=$!
window=""
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Glimmerdel$' 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    kill -0 "$program" 2> /dev/null || break
    sleep 0.1
done
dialog_status=0
if [ -z "$window" ]; then
    echo "the dialog did not open under valgrind within 60 s" >&2
    dialog_status=1
else
    sleep 2  # let it finish drawing under valgrind's slow pace
    xdotool mousemove --window "$window" 20 20
    xdotool key Escape
fi
# Escape ends the dialog; a key that got lost must not hang the run.
for _ in $(seq 1200); do
    kill -0 "$program" 2> /dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2> /dev/null; then
    [ -n "$window" ] && echo "the dialog was still open 120 s after Escape" >&2
    kill -KILL "$program" 2> /dev/null || true
    dialog_status=1
fi
program_status=0
wait "$program" || program_status=$?
[ "$dialog_status" -ne 0 ] || dialog_status=$program_status
summary "$work/dialog.log"
saved="$work/program/vantroglimmerdel.ini"
if [ "$dialog_status" -ne 0 ]; then
    echo "memcheck found errors in the dialog round trip (status $dialog_status)" >&2
    cat "$work/dialog.log" >&2
    status=1
elif ! grep -q '^lightspeed=4$' "$saved" || ! grep -q '^snowspeed=7$' "$saved" ||
        ! grep -q '^lights=0$' "$saved"; then
    echo "the dialog did not save its values:" >&2
    cat "$saved" >&2
    status=1
fi
exit "$status"
