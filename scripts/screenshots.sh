#!/usr/bin/env bash
# Takes the README's screenshots again (docs/*.png): the real window under
# Xvfb with openbox, driven by xdotool through the salinity example.
# bash scripts/screenshots.sh [BUILD_DIR]   (default: build, made if missing)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
bash "$here/scripts/setup.sh" --tests
if [ ! -x "$build/src/app/kinvalo" ]; then
  bash "$here/scripts/build.sh" release
  build=$here/build
fi
kinvalo=$build/src/app/kinvalo cli=$build/src/kinvalo-cli

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 6>"$work/display"
Xvfb -displayfd 6 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# A fresh user in a folder of the example's files.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" LC_ALL=C
mkdir -p "$HOME" "$work/data"
cp "$here/examples/salinity.inp" "$work/data/"
"$cli" calculate "$work/data/salinity.inp" >/dev/null
cd "$work/data"
"$kinvalo" >"$work/kinvalo.log" 2>&1 &
app=$!
pids+=($app)
window=$(xdotool search --all --sync --onlyvisible --pid "$app" --name '^Kinvalo, partial regression' | head -n1)
xdotool windowactivate --sync "$window"

click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1 mousemove 1270 890
  sleep 0.5
}
answer_dialog() {
  local w
  w=$(timeout 20 xdotool search --all --sync --onlyvisible --pid "$app" --name "$1" | head -n1)
  xdotool windowactivate --sync "$w"
  sleep 0.3
  xdotool key ctrl+a type "$2"
  xdotool key Return
  sleep 1
}
shot() {
  sleep 0.5
  import -window "$window" -frame "$work/$1" 2>/dev/null || import -window "$window" "$work/$1"
  cp "$work/$1" "$here/docs/$1"
  echo "docs/$1"
}

mkdir -p "$here/docs"
click 94 32                        # the Input tab
xdotool key ctrl+i
answer_dialog '^Open input file' salinity.inp
shot input.png
xdotool key ctrl+o
answer_dialog '^Open output file' salinity.out
shot output.png
click 776 175                      # See graph
click 741 211                      # Show regression line
click 741 247                      # Show confidence belt
shot graph.png
