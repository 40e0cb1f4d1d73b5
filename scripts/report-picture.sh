#!/usr/bin/env bash
# Makes the user guide's picture of a line report, docs/images/report.png: a simulated month of
# captures (a fixed seed, with drops, evening noise and pauses, drops planted near 19:30 on most days
# and Up SNR 2.5 dB lower from 18 March, so the findings name both) turned into a report and
# photographed by headless chromium.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${LINEGAUGE_BUILD_DIR:-build}
scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target linegauge linegauge-loggen >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/loggen/linegauge-loggen" --days 30 --start 2026-03-01 --seed 7 --gaps \
    --plant-hour 19:30 --plant-step up-snr:2026-03-18:-2.5 >"$work/stats.csv"
"$build/src/app/linegauge" --report --csv "$work/stats.csv"

mkdir -p docs/images
# --no-sandbox: the sandbox cannot start when this runs as root, as in CI containers.
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/browser" \
    --window-size=1000,1150 --screenshot="$PWD/docs/images/report.png" "file://$work/stats-report.html" 2>/dev/null
echo "docs/images/report.png"
