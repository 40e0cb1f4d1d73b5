#!/usr/bin/env bash
# Builds the program and the router simulator, starts the simulator on a free loopback port with
# drifting line values, and opens the program in a demo folder whose settings.ini points at it.
# Closing the program stops the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found. Run it under a virtual X server instead: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

build=${LINEGAUGE_BUILD_DIR:-build}
scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target linegauge linegauge-routersim

demo=$build/demo
mkdir -p "$demo"
# A copy, not a link: the program keeps settings.ini and the CSV file beside its own executable.
cp "$build/src/app/linegauge" "$demo/linegauge"

sim_out="$demo/routersim.out"
: >"$sim_out"
"$build/tools/routersim/linegauge-routersim" --drift --seed "$RANDOM" --drop-every 15 --drop-length 2 >"$sim_out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

for _ in $(seq 100); do
    [[ -s "$sim_out" ]] && break
    sleep 0.1
done
port=$(sed -n 's/^listening 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$sim_out")
if [[ -z "$port" ]]; then
    echo "The router simulator did not start." >&2
    exit 1
fi

# The program's own settings format: private-profile file, CR LF line ends.
printf '%s\r\n' \
    '[Options]' \
    'Router IP=127.0.0.1' \
    "Router Port=$port" \
    'Username=admin' \
    'Password (encrypted)=' \
    'Minutes=1' \
    'Output filename=stats.csv' \
    'Save to file=1' \
    '[Tweaks]' \
    'Stats page=/doc/adsl.htm' >"$demo/settings.ini"

echo "Router simulator on 127.0.0.1:$port; program in $demo"
(cd "$demo" && ./linegauge)
