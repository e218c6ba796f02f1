#!/bin/sh
# Runs every benchmark program of a build folder.
set -eu
build=${1:-build}
for b in "$build"/bench/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.2
done
