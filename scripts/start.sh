#!/usr/bin/env bash
# Sets everything up and starts Kinvalo.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
# The program alone, without its tests, in a folder of its own (build-program).
bash "$here/scripts/build.sh" program
# Without arguments the window starts, also with a file to open; with other
# arguments the batch command runs.
if [ $# -eq 0 ] || { [ $# -eq 1 ] && [ -f "$1" ]; }; then
  exec "$here/build-program/src/app/kinvalo" "$@"
fi
exec "$here/build-program/src/kinvalo-cli" "$@"
