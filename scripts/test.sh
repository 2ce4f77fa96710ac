#!/usr/bin/env bash
# Sets everything up, builds and runs every test: once in a release build and
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then the fuzz
# targets over their corpora.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh" --tests
export LC_ALL=C

bash "$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)"

bash "$here/scripts/build.sh" build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKINVALO_SANITIZE=ON -DKINVALO_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$here/build-sanitize" --output-on-failure -j"$(nproc)"
# Every fuzz target once over its seeds and regression cases (seconds).
bash "$here/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINVALO_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir "$here/build-fuzz" --output-on-failure -j"$(nproc)"
echo "All tests passed."
