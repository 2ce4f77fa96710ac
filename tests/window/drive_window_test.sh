#!/usr/bin/env bash
# Drives the real program under a real X server with a window manager, as a
# user would: type twelve rows with Tab and Enter, calculate, paste forty rows
# from the clipboard, calculate again, see the graph and save it. Then the
# written files are compared with what the batch command writes for the same
# data, byte for byte.
# drive_window_test.sh KINVALO KINVALO_CLI EXAMPLES_DIR
set -euo pipefail
kinvalo=$(realpath "$1") cli=$(realpath "$2") examples=$(realpath "$3")
for tool in Xvfb openbox xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "missing $tool (bash scripts/setup.sh --tests installs it)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "${KEEP_WORK:-}" = 1 ]; then echo "work folder: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  import -window root "$work/failure.png" 2>/dev/null && echo "screenshot: $work/failure.png" && KEEP_WORK=1
  exit 1
}

source "$(dirname "$0")/../../scripts/x_display.sh"

cd "$work/data"
start_window

# Types text as keys, in one go; "\t" is Tab and "\n" is Enter.
typed() {
  local text=$1 keys=() i c
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    case $c in
      $'\t') keys+=(Tab) ;;
      $'\n') keys+=(Return) ;;
      ' ') keys+=(space) ;;
      .) keys+=(period) ;;
      ,) keys+=(comma) ;;
      :) keys+=(colon) ;;
      /) keys+=(slash) ;;
      -) keys+=(minus) ;;
      %) keys+=(percent) ;;
      \() keys+=(parenleft) ;;
      \)) keys+=(parenright) ;;
      [[:alnum:]_]) keys+=("$c") ;;
      *) fail "typed: no key for \"$c\"" ;;
    esac
  done
  xdotool key --delay 20 "${keys[@]}"
  sleep 0.3
}
# Waits for a top-level window of the program with the given title, and
# brings it to the front.
await() {
  local w
  w=$(timeout 20 xdotool search --all --sync --onlyvisible --pid "$app" --name "$1" | head -n1) ||
    fail "no window \"$1\""
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  sleep 0.3
}
# Fails when any other window of the program is open: an unexpected
# message, question or dialog.
no_message() {
  sleep 0.5
  local w
  for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    [ "$w" = "$window" ] || fail "unexpected window \"$(xdotool getwindowname "$w")\" $1"
  done
}
# Closes with Enter the message box that is up, if any; true when one was.
close_message() {
  local w
  w=$(xdotool search --all --onlyvisible --pid "$app" --name '^Kinvalo$' 2>/dev/null | grep -vx "$window" | head -n1) || true
  [ -n "$w" ] || return 1
  xdotool windowactivate --sync "$w" key Return 2>/dev/null || true
}
# Waits for the files of a calculation run (calculated BASE EXT...), closing
# the run's messages as they come: "No horizontal segment found." and the
# like, and at the end "The input is saved in ...".
calculated() {
  local base=$1 ext missing quiet=0
  shift
  for _ in $(seq 200); do
    sleep 0.3
    if close_message; then quiet=0; continue; fi
    missing=0
    for ext in "$@"; do [ -s "$base.$ext" ] || missing=1; done
    [ $missing = 0 ] && quiet=$((quiet + 1))
    [ $quiet -ge 10 ] && return 0
  done
  fail "the calculation of $base did not end"
}
# Answers a file dialog with a name typed into its name box: the dialogs
# open in the folder of the program's start, or of the input file.
answer_dialog() {
  await "$1"
  xdotool key ctrl+a
  typed "$2"
  xdotool key Return
}

# The data: the salinity example, its titles and its forty pairs.
title1=$(sed -n 1p "$examples/salinity.inp" | tr -d '\r')
title2=$(sed -n 2p "$examples/salinity.inp" | tr -d '\r')
mapfile -t pairs < <(sed -n '12,$p' "$examples/salinity.inp" | tr -d '\r' | awk '{print $2 "\t" $3}')
[ ${#pairs[@]} = 40 ] || fail "the example has ${#pairs[@]} pairs"

# Places on the window at its first-start size (852 x 630 inside the frame).
input_tab=(94 32)
output_tab=(163 32)
see_graph_button=(776 175)
title1_box=(456 65)
title2_box=(456 97)
cell() { echo "$(( $1 == 1 ? 95 : 170 )) $(( 177 + 20 * ($2 - 1) ))"; }  # column (1 Y, 2 X), row

# 1. Twelve rows typed: rows 1 to 6 along the rows with Tab, rows 7 to 12
#    down the columns with Enter.
click "${input_tab[@]}"
click "${title1_box[@]}"; typed "$title1"
click "${title2_box[@]}"; typed "$title2"
click $(cell 1 1)
text=""
for i in 0 1 2 3 4 5; do text+="${pairs[i]}"$'\t'; done
typed "$text"
no_message "while typing along the rows"
click $(cell 1 7)
text=""; for i in 6 7 8 9 10 11; do text+="${pairs[i]%%$'\t'*}"$'\n'; done; typed "$text"
click $(cell 2 7)
text=""; for i in 6 7 8 9 10 11; do text+="${pairs[i]##*$'\t'}"$'\n'; done; typed "$text"
no_message "while typing down the columns"
xdotool key ctrl+s
answer_dialog '^Save input file' typed.inp
calculated "$work/data/typed" inp out var

# What the typed rows must have given: the example's first twelve rows.
{
  sed -n 1,2p "$examples/salinity.inp"
  printf ' File name:  %s\r\n' "$work/data/typed.inp"
  sed -n 4p "$examples/salinity.inp"
  printf ' Number of data sets:  12\r\n'
  sed -n 6,23p "$examples/salinity.inp"
} >"$work/expected-typed.inp"
cmp "$work/expected-typed.inp" "$work/data/typed.inp" || {
  diff <(tr -d '\r' <"$work/expected-typed.inp") <(tr -d '\r' <"$work/data/typed.inp") | head -20
  fail "typed.inp is not the twelve typed rows"
}

# 2. Forty rows pasted over them from the clipboard into Y of row 1.
printf '%s\r\n' "${pairs[@]}" | xclip -selection clipboard -i 2>/dev/null
click "${input_tab[@]}"
click $(cell 1 1)
xdotool key ctrl+v
no_message "after the paste"
xdotool key ctrl+s
answer_dialog '^Save input file' salinity.inp
calculated "$work/data/salinity" inp out txt var
# The pasted rows: the example itself, but for the full name of the file.
sed "3s|.*| File name:  $work/data/salinity.inp\r|" "$examples/salinity.inp" >"$work/expected-salinity.inp"
cmp "$work/expected-salinity.inp" "$work/data/salinity.inp" || fail "salinity.inp is not the pasted example"

# The results are those of the batch command for the same input file.
mkdir "$work/cli"
for name in typed salinity; do
  cp "$work/data/$name.inp" "$work/cli/"
  "$cli" calculate "$work/cli/$name.inp" >/dev/null 2>&1
  for ext in out txt var; do
    [ -e "$work/cli/$name.$ext" ] || continue
    sed "s|$work/cli/|$work/data/|g" "$work/cli/$name.$ext" >"$work/cli/expected.$ext"
    cmp "$work/cli/expected.$ext" "$work/data/$name.$ext" || fail "$name.$ext differs from the batch command's"
  done
done

# 3. The graph seen and saved: the picture the batch command draws.
click "${output_tab[@]}"
click "${see_graph_button[@]}"
no_message "after See graph"
xdotool key ctrl+a
answer_dialog '^Save graph' salinity.bmp
for _ in $(seq 50); do [ -s "$work/data/salinity.bmp" ] && break; sleep 0.1; done
while close_message; do sleep 0.3; done
import -window root "$work/graph.png" 2>/dev/null || true
"$cli" graph "$work/data/salinity.out" "$work/cli/salinity.bmp" >/dev/null
cmp "$work/cli/salinity.bmp" "$work/data/salinity.bmp" || fail "the saved graph is not the batch command's"
echo "The window was driven through typing, pasting, two calculations and a saved graph."
