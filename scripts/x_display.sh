# Sourced by the scripts that drive the real window: starts Xvfb on a display
# of its own (whatever else runs) with openbox, in the folder $work, exports
# DISPLAY and adds both processes to the array pids for the caller's cleanup.
exec 6>"$work/display"
Xvfb -displayfd 6 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
