#!/usr/bin/env bash
# The built program connects to the simulator in operation mode, sends a
# line that the simulator receives, and lists a line that the simulator sent.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_enter_display "$@"
multi=$1 sim=$3

# The module echoes what it receives: the echo is the line it sends back.
# (No traffic before connecting: a wake-up reply mixed with CAN lines is refused.)
e2e_start_sim "$sim" --mode operation --on-line echo
cd "$E2E_WORK"
"$multi" &
pid=$!
E2E_PIDS+=("$pid")
win=$(e2e_wait_window "Veltaro")

# Connect (F2); the dialog opens with Ok focused.
e2e_key "$win" F2
dlg=$(e2e_wait_window "Settings")
e2e_key "$dlg" Return

/usr/bin/python3 "$here/atspi.py" Veltaro send-and-list "hello module" "hello module" || { cat "$E2E_SIMLOG"; exit 1; }

# The simulator logged the line that Send wrote.
for _ in $(seq 50); do
  grep -q '<- hello module' "$E2E_SIMLOG" && break
  sleep 0.1
done
grep -q '<- hello module' "$E2E_SIMLOG" || { echo "FAIL: the simulator did not receive the line"; cat "$E2E_SIMLOG"; exit 1; }
echo "ok: sent and listed"

# Leaving while connected: File / Exit, Yes; the connection closes first and
# the program ends with status 0.
e2e_key "$win" alt+f
sleep 0.3
xdotool key e
sleep 0.5
xdotool key Return
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: still running after Exit + Yes"; exit 1; fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exited with status $status"; exit 1; }
echo "ok: left while connected, status 0"
