#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the program (GLIMMERDEL_PROGRAM_ONLY) the way users and packagers do: each given
# compiler and build type in a folder of its own, without -Werror. Warnings are shown; the
# script fails only when a build fails, and prints the number of warnings of each build.
#   scripts/build-types.sh gcc:Release clang:Debug ...
#   scripts/build-types.sh all        every build type with GCC and with clang
set -eu
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}

builds="$*"
[ -n "$builds" ] || builds="gcc:Release"
if [ "$builds" = all ]; then
    builds=""
    for compiler in gcc clang; do
        for type in Release Debug RelWithDebInfo MinSizeRel; do
            builds="$builds $compiler:$type"
        done
    done
fi

status=0
for build in $builds; do
    compiler=${build%%:*}
    type=${build#*:}
    case "$compiler" in
        gcc) cc=gcc; cxx=g++ ;;
        clang) cc=clang; cxx=clang++ ;;
        *) echo "unknown compiler $compiler" >&2; exit 2 ;;
    esac
    folder="build-types/$compiler-$type"
    log="$folder.log"
    mkdir -p build-types
    echo "== $compiler $type ($folder)"
    if cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DCMAKE_C_COMPILER=$cc \
            -DCMAKE_CXX_COMPILER=$cxx -DGLIMMERDEL_PROGRAM_ONLY=ON -DGLIMMERDEL_WERROR=OFF \
            >"$log" 2>&1 &&
        cmake --build "$folder" -j "$JOBS" >>"$log" 2>&1; then
        warnings=$(grep -c 'warning:' "$log" || true)
        echo "   built, $warnings warnings"
        grep -A3 'warning:' "$log" || true
    else
        echo "   FAILED (see $log)"
        tail -30 "$log"
        status=1
    fi
done
exit $status
