# Sourced by the scripts that drive the real window: starts Xvfb on a display
# of its own (whatever else runs) with openbox, in the folder $work, exports
# DISPLAY and adds both processes to the array pids for the caller's cleanup.
# The program runs as a fresh user: no remembered folders or window place.
exec 6>"$work/display"
Xvfb -displayfd 6 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" LC_ALL=C
mkdir -p "$HOME" "$work/data"

# Starts $kinvalo in the current folder and sets app (its process) and
# window (its main window, activated).
start_window() {
  "$kinvalo" >"$work/kinvalo.log" 2>&1 &
  app=$!
  pids+=($app)
  window=$(xdotool search --all --sync --onlyvisible --pid "$app" --name '^Kinvalo, partial regression' | head -n1)
  xdotool windowactivate --sync "$window"
}

# Clicks at a point of the main window, in its own coordinates, and waits
# click_pause seconds (0.3 unless set). The pointer then leaves the window,
# so that no tooltip comes up.
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1 mousemove 1270 890
  sleep "${click_pause:-0.3}"
}
