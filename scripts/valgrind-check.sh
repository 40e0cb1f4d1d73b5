#!/bin/sh
# One whole start-capture-close run of the program under valgrind's leak check: the soak driver for
# a few seconds (offscreen, healthy and faulty simulators). Fails when memory is definitely lost.
# Usage: scripts/valgrind-check.sh [SECONDS]   (build folder: $BUILD_DIR, default build-valgrind)
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-20}"
build="${BUILD_DIR:-build-valgrind}"
log="$build/valgrind.log"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target linegauge-soak linegauge-routersim >/dev/null
status=0
# The driver's own verdict (stalls) means nothing under valgrind's slowdown; only leaks count here.
QT_QPA_PLATFORM=offscreen valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=3 \
    --suppressions=scripts/valgrind.supp --log-file="$log" \
    "$build/tools/soak/linegauge-soak" "$build/tools/routersim/linegauge-routersim" "$seconds" || status=$?
grep -E "definitely lost|indirectly lost|ERROR SUMMARY" "$log" | sed 's/^==[0-9]*== //'
if [ "$status" -eq 3 ]; then
    echo "valgrind: memory definitely lost, see $log"
    exit 1
fi
echo "valgrind: no memory definitely lost (full log: $log)"
