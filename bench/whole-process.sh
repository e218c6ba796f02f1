#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the real saver full screen under Xvfb and measures it from outside: processor time
# (user + system) as a share of one core, frames per second and frame intervals as the X server
# received them, peak resident memory, the time from a key press to the process being gone, and
# the time from SIGTERM to the process being gone (drawing into the root window), and what it
# costs while nobody can see it (the --window window unmapped).
# Then runs the peer xsnow the same way (same screen size, same length) for comparison.
#
#   bench/whole-process.sh [BUILD-FOLDER] [SECONDS] [WIDTHxHEIGHT]
#
# Prints key=value lines (see bench/run-all.sh for the table).
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
size=${3:-1920x1080}
ticks=$(getconf CLK_TCK)
# The X11 figures, also when started from a Wayland session.
unset WAYLAND_DISPLAY WAYLAND_SOCKET

work=$(mktemp -d)
xvfb=""
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb() {
    # Xvfb picks a free display and writes its number once it accepts connections.
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb=$!
    for i in $(seq 1 300); do
        n=$(head -n 1 "$work/display" 2>/dev/null) || true
        if [ -n "$n" ]; then
            export DISPLAY=":$n"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        sleep 0.1
    done
    echo "whole-process: Xvfb did not start" >&2
    exit 1
}
stop_xvfb() { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; xvfb=""; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

# --- Glimmerdel, from a private copy of the program folder with the e-mail prompt disarmed.
cp "$build/glimmerdel" "$work/"
ln -s "$build/vurezezideriru" "$work/vurezezideriru"
sed 's/^appdisplay=.*/appdisplay=0/' "$build/vantroglimmerdel.ini" > "$work/vantroglimmerdel.ini"
mkdir -p "$work/runtime"
start_xvfb
XDG_RUNTIME_DIR="$work/runtime" "$work/glimmerdel" /s &
pid=$!
sleep 1  # set-up and the first paint are not the steady state
before=$(cpu_ticks "$pid")
t0=$(now)
"$build/bench/frame_watch" Form1 "$seconds" > "$work/frames.txt"
t1=$(now)
after=$(cpu_ticks "$pid")
rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
# Milliseconds from $1 (nanoseconds) until the process $pid is gone (ended, or a zombie).
until_gone() {
    while kill -0 "$pid" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != "Z" ]; do
        sleep 0.001
    done
    echo $(( ($(date +%s%N) - $1) / 1000000 ))
}
k0=$(date +%s%N)
xdotool key space
key=$(until_gone "$k0")
wait "$pid" 2>/dev/null || true
# SIGTERM to gone: the saver drawing into the root window, as a screen-saver daemon runs it.
XDG_RUNTIME_DIR="$work/runtime" "$work/glimmerdel" --root &
pid=$!
sleep 1
s0=$(date +%s%N)
kill -TERM "$pid"
term=$(until_gone "$s0")
wait "$pid" 2>/dev/null || true
# While nobody can see it: the window of --window unmapped (what an iconified window is without
# a window manager), its processor time and wake-ups (voluntary context switches) over 10 s.
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status"; }
XDG_RUNTIME_DIR="$work/runtime" "$work/glimmerdel" --window &
pid=$!
window=""
for i in $(seq 1 200); do
    window=$(xdotool search --name '^Glimmerdel$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
hidden_cpu=""
hidden_wakeups=""
if [ -n "$window" ]; then
    sleep 1
    xdotool windowunmap "$window"
    sleep 1
    hb=$(cpu_ticks "$pid")
    hw=$(wakeups "$pid")
    h0=$(now)
    sleep 10
    h1=$(now)
    ha=$(cpu_ticks "$pid")
    hx=$(wakeups "$pid")
    hidden_cpu=$(awk -v b="$hb" -v a="$ha" -v t="$ticks" -v t0="$h0" -v t1="$h1" \
        'BEGIN {printf "%.3f", 100 * (a - b) / t / (t1 - t0)}')
    hidden_wakeups=$(awk -v b="$hw" -v a="$hx" -v t0="$h0" -v t1="$h1" \
        'BEGIN {printf "%.1f", (a - b) / (t1 - t0)}')
fi
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""
stop_xvfb
if [ -n "$hidden_cpu" ]; then
    echo "glimmerdel_unseen_cpu_percent=$hidden_cpu"
    echo "glimmerdel_unseen_wakeups_per_s=$hidden_wakeups"
fi
awk -v b="$before" -v a="$after" -v t="$ticks" -v t0="$t0" -v t1="$t1" -v rss="$rss" \
    -v key="$key" -v term="$term" '
    {v[$1] = $2}
    END {
        printf "glimmerdel_cpu_percent=%.2f\n", 100 * (a - b) / t / (t1 - t0)
        printf "glimmerdel_fps=%.2f\n", v["fps"]
        printf "glimmerdel_interval_median_ms=%.2f\n", v["interval_median_ms"]
        printf "glimmerdel_interval_p99_ms=%.2f\n", v["interval_p99_ms"]
        printf "glimmerdel_peak_rss_mb=%.1f\n", rss / 1024
        printf "glimmerdel_key_to_exit_ms=%d\n", key
        printf "glimmerdel_sigterm_to_exit_ms=%d\n", term
    }' "$work/frames.txt"

# --- The peer: xsnow on the root window, for the same length of time.
if [ -x /usr/games/xsnow ]; then
    start_xvfb
    mkdir -p "$work/home"
    HOME="$work/home" /usr/games/xsnow -defaults -noconfig -nomenu -root \
        -stopafter $((seconds + 2)) >/dev/null 2>&1 &
    pid=$!
    sleep 1
    before=$(cpu_ticks "$pid")
    t0=$(now)
    sleep "$seconds"
    t1=$(now)
    after=$(cpu_ticks "$pid")
    rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    stop_xvfb
    awk -v b="$before" -v a="$after" -v t="$ticks" -v t0="$t0" -v t1="$t1" -v rss="$rss" 'BEGIN {
        printf "xsnow_cpu_percent=%.2f\n", 100 * (a - b) / t / (t1 - t0)
        printf "xsnow_peak_rss_mb=%.1f\n", rss / 1024
    }'
fi
