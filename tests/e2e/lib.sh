# Shared pieces of the end-to-end tests: a private X server with an
# accessibility bus, the simulator, and waiting for windows.
set -euo pipefail

# Re-runs the calling script in a private D-Bus session, then starts a
# private X server on a display number of its own choosing (-displayfd, so
# parallel or back-to-back runs never race for the same display).
# -noreset: by default the server resets when its last client disconnects,
# and that reset drops any client whose connection it has not yet accepted.
# The accessibility bus launcher connects and disconnects at start-up, so a
# program started at that moment failed with "could not connect to display".
# -audit 4 logs every client's connection in xvfb.log, shown on failure.
e2e_enter_display() {
  if [ -z "${E2E_INNER:-}" ]; then
    export E2E_INNER=1
    exec dbus-run-session -- bash "$0" "$@"
  fi
  E2E_WORK=$(mktemp -d -t veltaro-e2e.XXXXXX)
  E2E_PIDS=()
  trap e2e_cleanup EXIT
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -audit 4 \
    3>"$E2E_WORK/display" 2>"$E2E_WORK/xvfb.log" &
  E2E_PIDS+=($!)
  for _ in $(seq 100); do
    [ -s "$E2E_WORK/display" ] && break
    sleep 0.05
  done
  [ -s "$E2E_WORK/display" ] || { cat "$E2E_WORK/xvfb.log"; echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$E2E_WORK/display")
  xdotool getdisplaygeometry >/dev/null || { e2e_show_server_log; echo "Xvfb on $DISPLAY refuses clients" >&2; exit 1; }
  export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  E2E_PIDS+=($!)
}

e2e_show_server_log() {
  echo "--- X server log ($DISPLAY) ---" >&2
  cat "$E2E_WORK/xvfb.log" >&2 || true
}

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$E2E_WORK"
}

# e2e_start_sim SIM-BINARY ARGS... : starts the simulator, exports VELTARO_COM1.
e2e_start_sim() {
  local sim=$1; shift
  E2E_SIMLOG=$E2E_WORK/sim.log
  "$sim" "$@" >"$E2E_SIMLOG" 2>&1 &
  E2E_SIM=$!
  E2E_PIDS+=("$E2E_SIM")
  for _ in $(seq 200); do
    grep -q '^export VELTARO_COM1=' "$E2E_SIMLOG" && break
    sleep 0.05
  done
  local line
  line=$(grep -m1 '^export VELTARO_COM1=' "$E2E_SIMLOG") || { cat "$E2E_SIMLOG"; echo "simulator did not start" >&2; exit 1; }
  export "${line#export }"
}

# e2e_wait_window TITLE : prints the window id once a window with that title is mapped.
e2e_wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window titled '$1' appeared" >&2
  e2e_show_server_log
  return 1
}

# e2e_key WINDOW KEYS... : focuses the window and types the keys.
e2e_key() {
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  xdotool key --delay 50 "$@"
}
