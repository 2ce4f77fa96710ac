#!/usr/bin/env bash
# Sets everything up and starts Kinvalo.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
# Without arguments the window starts; with arguments the batch command runs.
if [ $# -eq 0 ]; then
  exec "$here/build/src/app/kinvalo"
fi
exec "$here/build/src/kinvalo-cli" "$@"
