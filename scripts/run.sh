#!/usr/bin/env bash
# Sets everything up, starts the simulated converter module on COM1 and then
# the program, ready for Connect. Options after the script name go to the
# simulator (see: build/tools/sim/veltaro-sim --help), e.g.
#   scripts/run.sh --mode operation --traffic 5
# VELTARO_PROGRAM=veltaro-single runs the single-model edition.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$here/build
"$here/scripts/setup.sh" "$build"

program=${VELTARO_PROGRAM:-veltaro}
log=$(mktemp -t veltaro-sim.XXXXXX.log)
echo "run: starting the simulated module (log: $log)"
"$build/tools/sim/veltaro-sim" "$@" >"$log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT

echo "run: waiting for the simulator to open its pseudo-terminal ..."
for _ in $(seq 100); do
  grep -q '^export VELTARO_COM1=' "$log" && break
  kill -0 $sim 2>/dev/null || { cat "$log"; echo "run: the simulator ended" >&2; exit 1; }
  sleep 0.05
done
line=$(grep -m1 '^export VELTARO_COM1=' "$log") || { cat "$log"; exit 1; }
export "${line#export }"
echo "run: COM1 is $VELTARO_COM1; starting $program (press Connect, then Ok)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting the program in a virtual X server (Xvfb)"
  xvfb-run -a "$build/src/app/$program"
else
  "$build/src/app/$program"
fi
