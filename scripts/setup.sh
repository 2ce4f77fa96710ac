#!/usr/bin/env bash
# Installs what Kinvalo needs on Debian 12, and only what is missing:
# setup.sh for building and running the program, setup.sh --tests also for
# its tests, benchmarks and fuzz targets.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-svg-dev fonts-liberation libboost-math-dev nlohmann-json3-dev)
if [ "${1:-}" = "--tests" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
             xvfb openbox xdotool xclip imagemagick poppler-utils lintian appstream desktop-file-utils
             time)
fi
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q
  $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
