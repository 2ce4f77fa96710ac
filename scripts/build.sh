#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
folder=$1
shift
cmake -S "$here" -B "$here/$folder" "$@" >/dev/null
cmake --build "$here/$folder" -j"$(nproc)"
