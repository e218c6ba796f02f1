#!/bin/sh
# Static analysis of our own code, from the compile commands of a configured build folder:
#   - clang-tidy with the checks chosen in .clang-tidy (bench/ has its own small addition), over
#     the program's code: app, platform, gfx, scene, settings_ui, tools, art, bench;
#   - cppcheck (warnings, performance, portability) over the same and the tests.
# Third-party code is left out: the image decoder and writer are compiled in units of their own
# (*_impl.cpp), and their headers are system headers. Fails on any finding.
#
#   scripts/analyse.sh [BUILD-FOLDER] [JOBS]
set -eu
build=${1:-build}
jobs=${2:-2}
cd "$(dirname "$0")/.."
database="$build/compile_commands.json"
if [ ! -f "$database" ]; then
    echo "analyse: no $database (configure the build first)" >&2
    exit 2
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Our translation units, as the build compiles them (CMake writes absolute paths).
root=$(pwd)
sed -n 's/^ *"file": "\(.*\)"$/\1/p' "$database" | sort -u |
    grep -E "^$root/(app|platform|gfx|scene|settings_ui|tools|art|bench)/" |
    grep -v '_impl\.cpp$' > "$out/files"
status=0

echo "clang-tidy: $(wc -l < "$out/files") files, $jobs at a time"
# The compile commands are GCC's: clang does not know every warning option GCC is given.
if ! xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet \
        --extra-arg=-Wno-unknown-warning-option < "$out/files" > "$out/tidy" 2>&1; then
    status=1
fi
# Only the findings (clang-tidy also counts the warnings it suppressed in other headers).
grep -E '(warning|error): ' "$out/tidy" | sort -u || true

echo "cppcheck"
if ! cppcheck --project="$database" --library=googletest --library=posix --std=c++20 \
        --enable=warning,performance,portability --inline-suppr --quiet -j "$jobs" \
        --suppress=missingIncludeSystem -i "$build" -i platform/winapi/stb_image_impl.cpp \
        -i art/stb_image_write_impl.cpp --error-exitcode=1 \
        --template='{file}:{line}: {severity}: {message} [{id}]'; then
    status=1
fi

if [ "$status" -ne 0 ]; then
    echo "analyse: findings above" >&2
else
    echo "analyse: clean"
fi
exit "$status"
