#!/usr/bin/env bash
# Sets everything up, builds and runs every test: once in a release build and
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then the fuzz
# targets over their corpora. The presets are those of CMakePresets.json.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh" --tests
export LC_ALL=C
cd "$here"

bash scripts/build.sh release
ctest --preset release -j"$(nproc)"

# The sanitize test preset runs with ASAN_OPTIONS=detect_leaks=1 and
# UBSAN_OPTIONS=print_stacktrace=1.
bash scripts/build.sh sanitize
ctest --preset sanitize -j"$(nproc)"
# Every fuzz target once over its seeds and regression cases (seconds).
bash scripts/build.sh fuzz
ctest --preset fuzz -j"$(nproc)"
echo "All tests passed."
