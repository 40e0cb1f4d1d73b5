#!/usr/bin/env bash
# Regenerates the user guide's pictures in docs/images/ from the real window: builds the picture
# taker and the router simulator, starts the simulator on a free loopback port with a drop among
# its captures, and runs the picture taker under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${LINEGAUGE_BUILD_DIR:-build}
scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target linegauge-screenshots linegauge-routersim

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [[ -n "$sim_pid" ]]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A fixed seed keeps the pictures the same from one run to the next.
"$build/tools/routersim/linegauge-routersim" --drift --seed 7 --drop-every 70 --drop-length 2 >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
    [[ -s "$work/sim.out" ]] && break
    sleep 0.1
done
port=$(sed -n 's/^listening 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/sim.out")
if [[ -z "$port" ]]; then
    echo "The router simulator did not start." >&2
    exit 1
fi

mkdir -p docs/images
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/tools/screenshots/linegauge-screenshots" "$port" docs/images
