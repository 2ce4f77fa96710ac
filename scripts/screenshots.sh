#!/usr/bin/env bash
# Takes the README's screenshots again (docs/*.png): the real window under
# Xvfb with openbox, driven by xdotool as a user would drive it. The salinity
# example, saved as a spreadsheet would save it (semicolons, decimal comma),
# is opened with Open data, its columns chosen, calculated and drawn.
# bash scripts/screenshots.sh [BUILD_DIR]   (default: build, made if missing)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
bash "$here/scripts/setup.sh" --tests
if [ ! -x "$build/src/app/kinvalo" ]; then
  bash "$here/scripts/build.sh" release
  build=$here/build
fi
kinvalo=$build/src/app/kinvalo

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source "$here/scripts/x_display.sh"

# The example as a spreadsheet's export: a plot label, then Y and X.
{
  printf 'Plot;Yield (%%);Salinity (dS/m)\r\n'
  sed -n '12,$p' "$here/examples/salinity.inp" | tr -d '\r' |
    awk '{ printf "P%02d;%s;%s\r\n", $1, $2, $3 }' | tr . ,
} >"$work/data/wheat.csv"
cd "$work/data"
click_pause=0.5
start_window

# The newest top-level window of the program with this title.
await() {
  timeout 20 xdotool search --all --sync --onlyvisible --pid "$app" --name "$1" | tail -n1
}
answer_dialog() {
  local w
  w=$(await "$1")
  xdotool windowactivate --sync "$w"
  sleep 0.3
  xdotool key ctrl+a type "$2"
  xdotool key Return
  sleep 1
}
# Closes with Enter the message boxes of a calculation run as they come,
# until the result files are there and no box has come for three seconds.
close_messages() {
  local w quiet=0
  for _ in $(seq 200); do
    sleep 0.3
    w=$(xdotool search --all --onlyvisible --pid "$app" --name '^Kinvalo$' 2>/dev/null | head -n1) || true
    if [ -n "$w" ]; then
      xdotool windowactivate --sync "$w" key Return 2>/dev/null || true
      quiet=0
    elif [ -s "$work/data/wheat.out" ]; then
      quiet=$((quiet + 1))
      [ $quiet -ge 10 ] && return 0
    fi
  done
  echo "the calculation did not end" >&2
  exit 1
}
shot() {
  sleep 0.5
  import -window "$1" -frame "$work/$2"
  mkdir -p "$here/docs"
  cp "$work/$2" "$here/docs/$2"
  echo "docs/$2"
}

xdotool key ctrl+d                           # File > Open data...
answer_dialog '^Open data file' wheat.csv
dialog=$(await '^Choose Y and X')
shot "$dialog" data-columns.png
xdotool windowactivate --sync "$dialog" key Return
sleep 1
shot "$window" input.png
xdotool key ctrl+s                           # Save/calculate: wheat.inp beside wheat.csv
answer_dialog '^Save input file' wheat.inp
close_messages
click 163 32                                 # the Output tab
click 776 175                                # See graph
click 741 211                                # Show regression line
click 741 247                                # Show confidence belt
shot "$window" graph.png
