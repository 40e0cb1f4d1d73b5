#!/usr/bin/env bash
# The line report over a year of one capture a minute (525,600 lines, about 21 MB), against an awk
# one-liner that reads the same file once: the whole report, page and JSON written, should take at
# most 0.6 times awk's time (best of RUNS each), with peak memory below 64 MB. Then one capture a day
# over the years 0001 to 9999 (3.65 million days): peak memory below 64 MB and a page of at most 16 MB.
# Usage: bench/report-bench.sh [RUNS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
build=${2:-build}

cmake --build "$build" -j2 --target linegauge linegauge-loggen >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/year.csv
"$build/tools/loggen/linegauge-loggen" --days 365 --start 2025-01-01 >"$log"
lines=$(($(wc -l <"$log") - 1))
megabytes=$(awk -v b="$(wc -c <"$log")" 'BEGIN { printf "%.1f", b / 1e6 }')

# Prints "seconds kilobytes" of the best run of the command.
best_of() {
    local best_time= best_memory=
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null
        read -r seconds kilobytes <"$work/time"
        if [[ -z $best_time ]] || awk -v a="$seconds" -v b="$best_time" 'BEGIN { exit !(a < b) }'; then
            best_time=$seconds
            best_memory=$kilobytes
        fi
    done
    echo "$best_time $best_memory"
}

read -r awk_time awk_memory < <(best_of awk -F, 'NR>1 {split($1,d,"/"); split($2,t,":"); if ($3<6 || $4<6 || $5>50 || $6>50) dn++; s+=$3} END {print s, dn}' "$log")
read -r report_time report_memory < <(best_of "$build/src/app/linegauge" --report --csv "$log" --out "$work/year.html" \
    --json "$work/year.json")
[[ -s $work/year.html && -s $work/year.json ]] || { echo "the report was not written" >&2; exit 1; }

echo "log: $lines captures, $megabytes MB"
echo "awk:    ${awk_time} s, peak ${awk_memory} kB"
echo "report: ${report_time} s, peak ${report_memory} kB (page $(wc -c <"$work/year.html") bytes)"
awk -v r="$report_time" -v a="$awk_time" -v m="$report_memory" 'BEGIN {
    printf "ratio report/awk: %.2f (goal <= 0.6)\npeak memory: %.1f MB (goal < 64)\n", (a > 0 ? r / a : 0), m / 1024 }'

ages=$work/ages.csv
"$build/tools/loggen/linegauge-loggen" --days 3652059 --start 0001-01-01 --every 86400 >"$ages"
rm "$log"
read -r ages_time ages_memory < <(best_of "$build/src/app/linegauge" --report --csv "$ages" --out "$work/ages.html" \
    --json "$work/ages.json")
echo "years 0001-9999, a capture a day: $(($(wc -l <"$ages") - 1)) captures, ${ages_time} s"
awk -v m="$ages_memory" -v p="$(wc -c <"$work/ages.html")" 'BEGIN {
    printf "peak memory: %.1f MB (goal < 64), page %.2f MB (goal <= 16)\n", m / 1024, p / 1048576 }'
