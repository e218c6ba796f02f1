#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the real saver full screen on Wayland, under headless sway (pixman renderer, one output of
# the given size), and measures it from outside: processor time (user + system) as a share of
# one core, the compositor's share beside it, peak resident memory, and the time from a key
# press (wtype) to the process being gone. sway refuses root: as root, sway, the saver and the
# tools run as the user nobody, from a copy of the program folder that user owns.
#
#   bench/wayland-process.sh [BUILD-FOLDER] [SECONDS] [WIDTHxHEIGHT]
#
# Prints key=value lines (see bench/run-all.sh); nothing when sway is not installed.
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
size=${3:-1920x1080}
ticks=$(getconf CLK_TCK)
command -v sway >/dev/null 2>&1 || exit 0

work=$(mktemp -d)
chmod 755 "$work"
sway_pid=""
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        "$@"
    fi
}
# The same in the background (run with &): the process started keeps the background job's id.
start_as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        exec setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        exec "$@"
    fi
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

# The program folder, with the e-mail prompt disarmed, and a private runtime folder.
mkdir -p "$work/program" "$work/runtime"
cp "$build/glimmerdel" "$work/program/"
cp -r "$build/vurezezideriru" "$work/program/"
sed 's/^appdisplay=.*/appdisplay=0/' "$build/vantroglimmerdel.ini" > "$work/program/vantroglimmerdel.ini"
printf 'xwayland disable\noutput HEADLESS-1 mode %s position 0 0 scale 1\n' "$size" > "$work/sway.conf"
chmod 700 "$work/runtime"
[ "$(id -u)" -eq 0 ] && chown -R 65534:65534 "$work/program" "$work/runtime"
chmod 644 "$work/sway.conf"

export XDG_RUNTIME_DIR="$work/runtime"
unset DISPLAY WAYLAND_SOCKET
WAYLAND_DISPLAY="" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    start_as_user sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
for i in $(seq 1 200); do
    socket=$(ls "$work/runtime" 2>/dev/null | grep '^wayland-[0-9]*$' | head -n 1) || true
    [ -n "$socket" ] && break
    sleep 0.05
done
if [ -z "$socket" ]; then
    echo "wayland-process: sway did not start" >&2
    exit 1
fi
export WAYLAND_DISPLAY="$socket"

start_as_user "$work/program/glimmerdel" /s &
pid=$!
sleep 1  # set-up and the first paint are not the steady state
before=$(cpu_ticks "$pid")
sway_before=$(cpu_ticks "$sway_pid")
t0=$(now)
sleep "$seconds"
t1=$(now)
after=$(cpu_ticks "$pid")
sway_after=$(cpu_ticks "$sway_pid")
rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
# The virtual keyboard first appears on the seat: wtype waits 200 ms before the key, so that the
# saver has bound it, and those 200 ms are not counted.
k0=$(date +%s%N)
as_user wtype -s 200 -k space
deadline=$((k0 + 10000000000))
while kill -0 "$pid" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != "Z" ] &&
    [ "$(date +%s%N)" -lt "$deadline" ]; do
    sleep 0.001
done
key=$(( ($(date +%s%N) - k0) / 1000000 - 200 ))
kill -0 "$pid" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != "Z" ] && key=-1
wait "$pid" 2>/dev/null || true
pid=""
awk -v b="$before" -v a="$after" -v sb="$sway_before" -v sa="$sway_after" -v t="$ticks" \
    -v t0="$t0" -v t1="$t1" -v rss="$rss" -v key="$key" 'BEGIN {
    printf "wayland_cpu_percent=%.2f\n", 100 * (a - b) / t / (t1 - t0)
    printf "wayland_compositor_cpu_percent=%.2f\n", 100 * (sa - sb) / t / (t1 - t0)
    printf "wayland_peak_rss_mb=%.1f\n", rss / 1024
    printf "wayland_key_to_exit_ms=%d\n", key
}'
