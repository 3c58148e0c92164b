#!/usr/bin/env bash
# Each built program starts in a real X server, shows its main window with
# its title, asks before closing, and exits with status 0.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
e2e_enter_display "$@"
multi=$1 single=$2

check_program() {
  local program=$1 title=$2
  "$program" &
  local pid=$!
  local win
  win=$(e2e_wait_window "$title") || { kill $pid; exit 1; }
  echo "ok: '$title' window $win"
  # File / Exit, then Yes (the default button) to the close prompt.
  e2e_key "$win" alt+f
  sleep 0.3
  xdotool key e
  sleep 0.5
  xdotool key Return
  local status=0
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "FAIL: $program still running after Exit + Yes"; kill $pid; exit 1; fi
  wait $pid || status=$?
  [ "$status" -eq 0 ] || { echo "FAIL: $program exited with $status"; exit 1; }
  echo "ok: $program exited with status 0"
}

check_program "$multi" "Veltaro"
check_program "$single" "R-2416 Utility"
