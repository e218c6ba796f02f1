#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs every benchmark of a build folder and prints the tables of the README's Performance
# section (markdown). Benchmarks report; they never fail on a figure.
#
#   bench/run-all.sh [BUILD-FOLDER] [SECONDS-OF-WHOLE-PROCESS-RUN]
set -eu
build=${1:-build}
seconds=${2:-20}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)," \
     "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo);" \
     "load average $(cut -d' ' -f1-3 /proc/loadavg) at the start."
echo

"$build/bench/gfx_bench" --benchmark_format=csv --benchmark_min_time=0.2 \
    > "$out/gfx.csv" 2>/dev/null
"$build/bench/frame_bench" --benchmark_format=csv > "$out/frame.csv" 2>/dev/null
"$build/bench/monitors_bench" --benchmark_format=csv > "$out/monitors.csv" 2>/dev/null
"$(dirname "$0")/whole-process.sh" "$build" "$seconds" 1920x1080 > "$out/process.txt"
"$(dirname "$0")/wayland-process.sh" "$build" "$seconds" 1920x1080 > "$out/wayland.txt"

echo "Raster operations (64 x 64 blocks; a cell of 5 x 5 for the per-call cost):"
echo
echo "| Operation | Formats | Megapixels per second | Time per call |"
echo "|---|---|---:|---:|"
awk -F, 'NR > 1 && $1 ~ /BM_BitBlt/ {
    gsub(/"/, "", $1); gsub(/"/, "", $8)
    split($8, label, " ")
    printf "| %s | %s | %.0f | %.0f ns |\n", label[1], label[2], $7 / 1e6, $4
}' "$out/gfx.csv"
echo
echo "| Sprite work | Time |"
echo "|---|---:|"
awk -F, 'NR > 1 && ($1 ~ /TransparentDraw/ || $1 ~ /SpriteCycle/) {
    gsub(/"/, "", $1)
    name = $1
    sub(/^BM_/, "", name)
    printf "| %s | %.0f ns |\n", name, $4
}' "$out/gfx.csv"
echo
# The two counters, median_us and p99_us, are the last two columns (a label may hold a comma).
echo "One frame, headless (virtual screen and clock, each frame timed; 3000 frames warm, 300 with"
echo "the caches emptied before each, 250 with a real 20 ms sleep before each, as the saver sleeps):"
echo
echo "| Screen | Effects | Frame step | Median | 99th percentile |"
echo "|---|---|---|---:|---:|"
awk -F, 'NR > 1 && $1 ~ /FrameStep/ {
    gsub(/"/, "", $1)
    split($1, part, "/")
    cold = part[1] == "FrameStepCold"
    paced = part[1] == "FrameStepPaced"
    effects = cold ? "all on, caches emptied first" : paced ? "all on, 20 ms asleep first" \
        : part[4] == 1 ? "all on" : "all off"
    step = (cold || paced ? part[4] : part[5]) == 1 ? "planned" : "straight"
    printf "| %s x %s | %s | %s | %.1f us | %.1f us |\n", part[2], part[3], effects, step,
        $(NF - 1), $NF
}' "$out/frame.csv"
echo
echo "Set-up, from the start of the form's load to the first full paint (median of 10):"
echo
echo "| Screen | Time |"
echo "|---|---:|"
awk -F, 'NR > 1 && $1 ~ /SetUp/ {
    gsub(/"/, "", $1)
    split($1, part, "/")
    printf "| %s x %s | %.1f ms |\n", part[2], part[3], $(NF - 1) / 1000
}' "$out/frame.csv"
echo
echo "Several monitors and a high-density screen, one frame of the one loop, all effects on"
echo "(headless; warm: 3000 frames; caches emptied before each frame: 300 frames):"
echo
echo "| Monitors | Caches | Median | 99th percentile | Median per monitor |"
echo "|---|---|---:|---:|---:|"
awk -F, 'NR > 1 && $1 ~ /(Monitors|Doubled|Plain)Frame/ {
    gsub(/"/, "", $1)
    split($1, part, "/")
    if (part[1] == "MonitorsFrame") {
        count = part[2]; cold = part[3]; what = count " x 1920 x 1080"
    } else {
        count = 1; cold = part[2]
        what = part[1] == "DoubledFrame" ? "3840 x 2160, doubled" : "3840 x 2160, scale 1"
    }
    printf "| %s | %s | %.1f us | %.1f us | %.1f us |\n", what, cold == 1 ? "emptied" : "warm",
        $(NF - 1), $NF, $(NF - 1) / count
}' "$out/monitors.csv"
echo
echo "The whole process under Xvfb at 1920 x 1080, all effects on, ${seconds} s:"
echo
awk -F= '{v[$1] = $2}
    END {
        print "| Figure | Glimmerdel | xsnow |"
        print "|---|---:|---:|"
        printf "| CPU time (user + system), share of one core | %.2f %% | %s |\n",
            v["glimmerdel_cpu_percent"], "xsnow_cpu_percent" in v ? v["xsnow_cpu_percent"] " %" : "-"
        printf "| Peak resident memory | %.1f MB | %s |\n", v["glimmerdel_peak_rss_mb"],
            "xsnow_peak_rss_mb" in v ? v["xsnow_peak_rss_mb"] " MB" : "-"
        printf "| Frames per second | %.2f | |\n", v["glimmerdel_fps"]
        printf "| Frame interval, median / 99th percentile | %.2f / %.2f ms | |\n",
            v["glimmerdel_interval_median_ms"], v["glimmerdel_interval_p99_ms"]
        printf "| Key press to process gone | %d ms | |\n", v["glimmerdel_key_to_exit_ms"]
        printf "| SIGTERM to process gone (in the root window) | %d ms | |\n",
            v["glimmerdel_sigterm_to_exit_ms"]
        if ("glimmerdel_unseen_cpu_percent" in v)
            printf "| Nobody can see it (`--window` unmapped, 10 s): share of one core, wake-ups a second | %.3f %%, %.1f | |\n",
                v["glimmerdel_unseen_cpu_percent"], v["glimmerdel_unseen_wakeups_per_s"]
        if ("xsnow_cpu_percent" in v && v["xsnow_cpu_percent"] > 0)
            printf "\nCPU ratio Glimmerdel / xsnow: %.3f\n",
                v["glimmerdel_cpu_percent"] / v["xsnow_cpu_percent"]
    }' "$out/process.txt"

# The same run natively on Wayland, beside the X11 figures of this run.
if [ -s "$out/wayland.txt" ]; then
    echo
    echo "The whole process on Wayland (headless sway, pixman renderer) at 1920 x 1080, all effects"
    echo "on, ${seconds} s, beside X11 (Xvfb) in the same run:"
    echo
    cat "$out/process.txt" "$out/wayland.txt" | awk -F= '{v[$1] = $2}
        END {
            print "| Figure | Wayland | X11 |"
            print "|---|---:|---:|"
            printf "| CPU time (user + system), share of one core | %.2f %% | %.2f %% |\n",
                v["wayland_cpu_percent"], v["glimmerdel_cpu_percent"]
            printf "| The compositor'"'"'s share (sway) | %.2f %% | |\n",
                v["wayland_compositor_cpu_percent"]
            printf "| Peak resident memory | %.1f MB | %.1f MB |\n", v["wayland_peak_rss_mb"],
                v["glimmerdel_peak_rss_mb"]
            printf "| Key press to process gone | %d ms | %d ms |\n", v["wayland_key_to_exit_ms"],
                v["glimmerdel_key_to_exit_ms"]
        }'
fi
