#!/bin/sh
# Runs the real saver full screen under Xvfb for a while and reports the processor time it used
# (user + system, as a share of one core) and the frames per second that reached the X server.
#
#   bench/saver-cpu.sh [BUILD-FOLDER] [SECONDS] [WIDTHxHEIGHT]
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
size=${3:-1920x1080}

work=$(mktemp -d)
display=""
saver=""
cleanup() {
    [ -n "$saver" ] && kill "$saver" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A private copy of the program folder, with the e-mail prompt disarmed.
cp "$build/glimmerdel" "$work/"
cp -r "$build/vurezezideriru" "$work/"
sed 's/^appdisplay=.*/appdisplay=0/' "$build/vantroglimmerdel.ini" > "$work/vantroglimmerdel.ini"

for n in $(seq 140 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for i in $(seq 1 100); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.05
done
export DISPLAY="$display"

mkdir -p "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" "$work/glimmerdel" /s &
saver=$!
sleep 1  # set-up and first paint are not part of the steady state

ticks=$(getconf CLK_TCK)
cpu_before=$(awk '{print $14 + $15}' "/proc/$saver/stat")
start=$(date +%s.%N)
"$build/bench/frame_watch" Form1 "$seconds" > "$work/frames.txt"
end=$(date +%s.%N)
cpu_after=$(awk '{print $14 + $15}' "/proc/$saver/stat")
rss=$(awk '/VmHWM/ {print $2}' "/proc/$saver/status")

# Time from a key press to the process being gone.
key_start=$(date +%s%N)
xdotool key space
while kill -0 "$saver" 2>/dev/null; do sleep 0.001; done
key_end=$(date +%s%N)
wait "$saver" 2>/dev/null || true
saver=""

awk -v before="$cpu_before" -v after="$cpu_after" -v ticks="$ticks" \
    -v start="$start" -v end="$end" -v rss="$rss" -v keyms="$(( (key_end - key_start) / 1000000 ))" \
    -v size="$size" '
    /^fps/ {fps = $2} /^frames/ {frames = $2}
    /interval_median_ms/ {median = $2} /interval_p99_ms/ {p99 = $2}
    END {
        wall = end - start
        cpu = (after - before) / ticks
        printf "size                 %s\n", size
        printf "wall time            %.1f s\n", wall
        printf "cpu time             %.3f s (user + system)\n", cpu
        printf "cpu share            %.2f %% of one core\n", 100 * cpu / wall
        printf "frames per second    %.2f (%d frames)\n", fps, frames
        printf "frame interval       median %.2f ms, 99th percentile %.2f ms\n", median, p99
        printf "peak resident memory %.1f MB\n", rss / 1024
        printf "key press to exit    %d ms\n", keyms
    }' "$work/frames.txt"
