#!/bin/sh
# Runs the whole program for a bounded time (default 600 seconds) against healthy and faulty router
# simulators on 127.0.0.1 and prints captures, failures by status, memory, descriptors and stalls.
# Usage: scripts/soak.sh [SECONDS]   (build folder: $BUILD_DIR, default build-soak)
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build="${BUILD_DIR:-build-soak}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target linegauge-soak linegauge-routersim >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tools/soak/linegauge-soak" "$build/tools/routersim/linegauge-routersim" "$seconds"
