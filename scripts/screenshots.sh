#!/usr/bin/env bash
# Takes the README's screenshots: each page of each program, connected to the
# simulator, in a virtual X server. Needs a built tree (scripts/setup.sh).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/tests/e2e/lib.sh"
e2e_enter_display "$@"
build=$here/build
sim=$build/tools/sim/veltaro-sim

shoot() { # program title sim-args... ; output name from $out
  local program=$1 title=$2; shift 2
  e2e_start_sim "$sim" "$@"
  (cd "$E2E_WORK" && "$build/src/app/$program") &
  local pid=$!
  local win
  win=$(e2e_wait_window "$title")
  e2e_key "$win" F2
  local dlg
  dlg=$(e2e_wait_window "Settings")
  e2e_key "$dlg" Return
  sleep 3
  import -window "$win" "$here/docs/$out.png"
  echo "wrote docs/$out.png"
  kill "$pid" "$E2E_SIM" 2>/dev/null || true
  wait "$pid" "$E2E_SIM" 2>/dev/null || true
}

mkdir -p "$here/docs"
out=veltaro-settings        shoot veltaro "Veltaro" --profile R-2416-GX
out=veltaro-test            shoot veltaro "Veltaro" --mode operation --traffic 8
out=veltaro-single-settings shoot veltaro-single "R-2416 Utility"
out=veltaro-single-test     shoot veltaro-single "R-2416 Utility" --mode operation --traffic 8
