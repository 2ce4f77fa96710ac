#!/usr/bin/env bash
# Sets everything up, builds and runs every test: once in a release build and
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
export LC_ALL=C

bash "$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)"

bash "$here/scripts/build.sh" build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKINVALO_SANITIZE=ON -DKINVALO_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$here/build-sanitize" --output-on-failure -j"$(nproc)"
echo "All tests passed."
