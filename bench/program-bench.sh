#!/usr/bin/env bash
# The whole program's figures: start-up to "Ready" against a bare Qt window started the same way
# (goal: at most 1.15 times; also printed against a bare window showing one label), the CPU a
# waiting monitor uses in the tray (goal: at most 0.05 % of a core) and shown (goal: at most 1.1
# times a bare window that sets one label a second), and time and memory growth over many captures
# against the router simulator (goal: below 1 MiB).
# Usage: bench/program-bench.sh [CAPTURES] [IDLE_SECONDS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
captures=${1:-10000}
idle=${2:-10}
build=${3:-build}
export QT_QPA_PLATFORM=offscreen

cmake --build "$build" -j2 --target startup-probe idle-probe capture-soak linegauge-routersim >/dev/null
probe="$build/bench/startup-probe"

# Microseconds from before the process starts to its first settled event loop.
startup_us() {
    local start ready
    start=$(date +%s%N)
    ready=$("$probe" "$@" 2>/dev/null)
    echo $((ready - start / 1000))
}
# The three starts take turns, so a machine that slows down or speeds up meanwhile weighs on each alike.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=${LINEGAUGE_STARTUP_RUNS:-41}
: >"$work/bare" >"$work/label" >"$work/program"
for _ in $(seq "$runs"); do
    startup_us bare >>"$work/bare"
    startup_us label >>"$work/label"
    startup_us program "$work" >>"$work/program"
done
median() { sort -n "$1" | sed -n "$(((runs + 1) / 2))p"; }
bare=$(median "$work/bare")
label=$(median "$work/label")
program=$(median "$work/program")
awk -v b="$bare" -v l="$label" -v p="$program" 'BEGIN {
    printf "start-up: bare window %.1f ms, Linegauge %.1f ms, ratio %.2f (goal <= 1.15)\n", b/1000, p/1000, p/b
    printf "start-up: bare window with one label %.1f ms, ratio %.2f\n", l/1000, p/l }'

idle_percent() {
    "$build/bench/idle-probe" "$1" "$idle" 2>/dev/null | tee /dev/stderr | sed 's/.*: \([0-9.]*\) %.*/\1/'
}
bare_idle=$(idle_percent bare)
shown_idle=$(idle_percent shown)
idle_percent tray >/dev/null
awk -v b="$bare_idle" -v s="$shown_idle" \
    'BEGIN { printf "idle shown: %.2f times a bare window (goal <= 1.1); in the tray: goal <= 0.05 %%\n", s/b }'

"$build/tools/routersim/linegauge-routersim" --drift --seed 7 --drop-every 50 --drop-length 3 >"$work/sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s "$work/sim.out" ]] && break; sleep 0.05; done
port=$(sed -n 's/^listening 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/sim.out")
"$build/bench/capture-soak" "$port" "$captures" "$idle" 2>/dev/null
