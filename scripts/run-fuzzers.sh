#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs every fuzz target of a fuzz build, one after another, each for the given number of
# seconds, starting from its committed seeds (tests/fuzz/corpus/<target>) and the corpus that
# earlier runs of this build grew (<build>/fuzz-corpus/<target>). Prints one line of figures per
# target and fails when a target finds a crash, a leak, undefined behaviour or a broken check;
# the input that did it is kept in <build>/fuzz-artifacts/.
#
#   scripts/run-fuzzers.sh [FUZZ-BUILD-FOLDER] [SECONDS-PER-TARGET] [TARGET...]
set -eu
build=${1:-build-fuzz}
duration=${2:-30}
[ $# -ge 2 ] && shift 2 || shift $#
targets=${*:-"fuzz_bitmap_file fuzz_profile fuzz_command_line fuzz_bitblt"}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# No single allocation above 300 MiB (-malloc_limit_mb below): the bitmap loader must refuse
# pictures over its 256 MiB limit before it allocates them.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=""
printf '%-20s %10s %8s %8s %12s %s\n' target executions cov ft corpus result
for target in $targets; do
    corpus="$build/fuzz-corpus/$target"
    mkdir -p "$corpus"
    log="$build/fuzz-$target.log"
    status=0
    nice -n 10 "$build/tests/fuzz/$target" \
        -max_total_time="$duration" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=300 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        "$corpus" "$source_dir/tests/fuzz/corpus/$target" > "$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    units=$(echo "$last" | sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p')
    if [ "$status" -eq 0 ]; then
        result=ok
    else
        result="FAILED (see $log)"
        failed="$failed $target"
    fi
    printf '%-20s %10s %8s %8s %12s %s\n' "$target" "${executions:-?}" "${cov:-?}" "${ft:-?}" \
        "${units:-?}" "$result"
done
if [ -n "$failed" ]; then
    echo "Fuzzing found faults in:$failed" >&2
    for target in $failed; do
        grep -E 'ERROR|SUMMARY|Test unit written' "$build/fuzz-$target.log" | head -5 >&2
    done
    exit 1
fi
