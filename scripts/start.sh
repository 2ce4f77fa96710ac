#!/usr/bin/env bash
# Sets everything up and starts Kinvalo.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
if [ $# -eq 0 ]; then
  exec "$here/build/src/kinvalo-cli" --help
fi
exec "$here/build/src/kinvalo-cli" "$@"
