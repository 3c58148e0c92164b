#!/usr/bin/env bash
# Takes the README's screenshots: each page of each program, connected to the
# simulator, in a virtual X server. Needs a built tree (scripts/setup.sh).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/tests/e2e/lib.sh"
e2e_enter_display "$@"
build=${VELTARO_BUILD:-$here/build}
sim=$build/tools/sim/veltaro-sim

# shoot OUTPUT PROGRAM TITLE APP-NAME FILL SIM-ARGS...
# FILL: "settings" just connects; "test" also runs auto-send for a while.
shoot() {
  local out=$1 program=$2 title=$3 app=$4 fill=$5; shift 5
  e2e_start_sim "$sim" "$@"
  (cd "$E2E_WORK" && exec "$build/src/app/$program") &
  local pid=$!
  local win dlg
  win=$(e2e_wait_window "$title")
  e2e_key "$win" F2
  dlg=$(e2e_wait_window "Settings")
  sleep 0.3
  e2e_key "$dlg" Return
  sleep 1.5
  [ "$fill" = test ] && /usr/bin/python3 "$here/tests/e2e/atspi.py" "$app" auto-send 3
  sleep 0.5
  import -window "$win" "$here/docs/$out.png"
  echo "wrote docs/$out.png"
  kill "$pid" "$E2E_SIM" 2>/dev/null || true
  wait "$pid" "$E2E_SIM" 2>/dev/null || true
}

mkdir -p "$here/docs"
shoot veltaro-settings        veltaro        "Veltaro"        Veltaro          settings --profile "R-2416-GX,fw3,2.0B,pair,userbaud"
shoot veltaro-test            veltaro        "Veltaro"        Veltaro          test     --mode operation --on-line echo
shoot veltaro-single-settings veltaro-single "R-2416 Utility" "R-2416 Utility" settings --profile "R-2416,fw2,2.0A,pair"
shoot veltaro-single-test     veltaro-single "R-2416 Utility" "R-2416 Utility" test     --mode operation --on-line echo
