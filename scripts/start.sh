#!/usr/bin/env bash
# Sets everything up and starts Kinvalo.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
# The program alone, without its tests, in a folder of its own.
bash "$here/scripts/build.sh" build-program -DCMAKE_BUILD_TYPE=Release -DKINVALO_TESTS=OFF -DKINVALO_BENCH=OFF
# Without arguments the window starts; with arguments the batch command runs.
if [ $# -eq 0 ]; then
  exec "$here/build-program/src/app/kinvalo"
fi
exec "$here/build-program/src/kinvalo-cli" "$@"
