#!/bin/sh
# SPDX-License-Identifier: MIT
# Static analysis of our own code, from the compile commands of a configured build folder:
#   - clang-tidy with the checks chosen in .clang-tidy (bench/ has its own small addition), over
#     the program's code: app, platform, gfx, scene, settings_ui, tools, art, bench;
#   - cppcheck (warnings, performance, portability) over the same and the tests;
#   - the SPDX licence line at the top of every C++ file of ours.
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

echo "licence lines"
# Every C++ file of ours names its licence at the top (files carried from elsewhere keep their
# own notices and are none of these).
missing=$(git ls-files '*.cpp' '*.h' '*.h.in' | while read -r file; do
    head -n 2 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "$file"
done)
if [ -n "$missing" ]; then
    echo "$missing" | sed 's/$/: no SPDX-License-Identifier line/'
    status=1
fi

if [ "$status" -ne 0 ]; then
    echo "analyse: findings above" >&2
else
    echo "analyse: clean"
fi
exit "$status"
