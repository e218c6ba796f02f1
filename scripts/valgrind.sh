#!/bin/sh
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

memcheck() {
    log=$1
    shift
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --suppressions="$here/valgrind.supp" --log-file="$log" "$@"
}

summary() {
    grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' "$1" |
        sed 's/^==[0-9]*== /    /'
}

status=0

echo "memcheck: glimmerdel-snapshot, 100 frames at 1024x600"
if memcheck "$work/snapshot.log" "$build/glimmerdel-snapshot" --folder "$build" \
        --size 1024x600 --frames 100 --out "$work/snapshot.png"; then
    summary "$work/snapshot.log"
else
    summary "$work/snapshot.log"
    echo "memcheck found errors in the snapshot tool: $work/snapshot.log" >&2
    cat "$work/snapshot.log" >&2
    status=1
fi

echo "memcheck: settings dialog round trip (glimmerdel /c under Xvfb)"
display=""
for number in $(seq 150 199); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
        display=":$number"
        break
    fi
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 100); do
    xdpyinfo > /dev/null 2>&1 && break
    sleep 0.05
done
# A private program folder, so that the build's settings stay as they are.
mkdir -p "$work/program/runtime"
cp "$build/glimmerdel" "$build/vantroglimmerdel.ini" "$work/program/"
cp -r "$build/vurezezideriru" "$work/program/"
printf '[controls]\nlights=0\nchimneysmoke=1\nsnowing=1\nlightspeed=4\nsmokespeed=2\nsnowspeed=7\n' \
    > "$work/program/vantroglimmerdel.ini"
XDG_RUNTIME_DIR="$work/program/runtime" HOME="$work/program" \
    memcheck "$work/dialog.log" "$work/program/glimmerdel" /c &
program=$!
window=""
for _ in $(seq 600); do
    window=$(xdotool search --name '^Glimmerdel$' 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
dialog_status=0
if [ -z "$window" ]; then
    echo "the dialog did not open under valgrind" >&2
    kill "$program" 2>/dev/null || true
    dialog_status=1
else
    sleep 2  # let it finish drawing
    xdotool mousemove --window "$window" 20 20
    xdotool key Escape
fi
wait "$program" || dialog_status=$?
summary "$work/dialog.log"
if [ "$dialog_status" -ne 0 ]; then
    echo "memcheck found errors in the dialog round trip (status $dialog_status)" >&2
    cat "$work/dialog.log" >&2
    status=1
elif ! grep -q '^lights=0$' "$work/program/vantroglimmerdel.ini" ||
        ! grep -q '^snowspeed=7$' "$work/program/vantroglimmerdel.ini"; then
    echo "the dialog did not save its values" >&2
    status=1
fi
exit "$status"
