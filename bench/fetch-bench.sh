#!/usr/bin/env bash
# Fetches the router simulator's page N times through the program's HTTP transfer and with curl,
# prints the median of each and their ratio (goal: at most 1.1), then the event loop's longest
# stall during a fetch from a hanging simulator (goal: below 50 ms).
# Usage: bench/fetch-bench.sh [N] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-200}
build=${2:-build}

cmake --build "$build" -j2 --target fetch-timer linegauge-routersim >/dev/null
sim="$build/tools/routersim/linegauge-routersim"
timer="$build/bench/fetch-timer"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Starts the simulator with the given options and sets $port to the port it announces.
start_sim() {
    local out="$work/sim${#pids[@]}.out"
    "$sim" "$@" >"$out" &
    pids+=($!)
    for _ in $(seq 100); do
        [[ -s "$out" ]] && break
        sleep 0.05
    done
    port=$(sed -n 's/^listening 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$out")
    [[ -n "$port" ]] || { echo "simulator did not start" >&2; exit 1; }
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

start_sim --drift
url="http://127.0.0.1:$port/doc/adsl.htm"
"$timer" times "$url" "$count" >"$work/ours"
for _ in $(seq "$count"); do
    curl -s -o /dev/null --noproxy '*' -w '%{time_total}\n' "$url"
done | awk '{ print $1 * 1000 }' >"$work/curl"
ours=$(median <"$work/ours")
theirs=$(median <"$work/curl")
echo "fetches: $count of $url"
echo "median fetch, HTTP transfer: $ours ms"
echo "median fetch, curl (time_total): $theirs ms"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio of medians: %.2fx (goal <= 1.1x)\n", a / b }'

start_sim --fault hang
stall=$("$timer" stall "http://127.0.0.1:$port/doc/adsl.htm" 3000)
echo "longest event-loop stall during a 3 s fetch from a hanging router: $stall ms (goal < 50 ms)"
