#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, address and undefined-behaviour sanitizers) and runs
# each over its seed corpus in fuzz/corpus/<target>/ and the test fixtures it reads for the given number of seconds (default 60).
# Prints executions and findings per target; exits non-zero when any target found something.
# Inputs that break something are kept in <build>/fuzz-findings/ for a closer look.
#
#   scripts/fuzz.sh [seconds-per-target [target ...]]
#
# LINEGAUGE_FUZZ_BUILD names the build folder (default build-fuzz-clang); with LINEGAUGE_FUZZ_PREBUILT=1
# the targets are taken as already built there (the CMake "fuzz" target does that).
set -euo pipefail

seconds=${1:-60}
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "usage: $0 [seconds-per-target [target ...]]" >&2; exit 2; }
shift $(($# > 0 ? 1 : 0))

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINEGAUGE_FUZZ_BUILD:-$root/build-fuzz-clang}
targets=(fuzz_page_parser fuzz_profile fuzz_unscramble fuzz_report_reader)
if (($#)); then
    for target in "$@"; do
        [[ " ${targets[*]} " == *" $target "* ]] || { echo "unknown fuzz target: $target" >&2; exit 2; }
    done
    targets=("$@")
fi

# Settings files are small and the profile target saves a real file per input, so its inputs are
# kept nearer a settings file's size; the others take the default limit.
declare -A maxLength=([fuzz_profile]=1024)
# The test fixtures are seeds too, read where they stand rather than kept twice.
declare -A fixtures=([fuzz_page_parser]=tests/data/pages [fuzz_profile]=tests/data/settings [fuzz_report_reader]=tests/data/csv)

if [[ ${LINEGAUGE_FUZZ_PREBUILT:-0} != 1 ]]; then
    mkdir -p "$build"
    if [[ ! -f $build/CMakeCache.txt ]]; then
        CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DLINEGAUGE_FUZZ=ON -DLINEGAUGE_BUILD_BENCH=OFF >"$build/fuzz-configure.log" 2>&1 \
            || { cat "$build/fuzz-configure.log" >&2; exit 1; }
    fi
    cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1 \
        || { tail -n 40 "$build/fuzz-build.log" >&2; exit 1; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findingsDir=$build/fuzz-findings
mkdir -p "$findingsDir" "$work/found"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
printf '%-18s %12s %9s %8s\n' target executions findings seconds
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    log=$work/$target.log
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
        -artifact_prefix="$work/found/$target-")
    [[ -n ${maxLength[$target]:-} ]] && options+=(-max_len="${maxLength[$target]}")
    start=$SECONDS
    status=0
    # New inputs go to the scratch folder first named; the checked-in seeds are only read.
    seeds=("$root/fuzz/corpus/$target")
    [[ -n ${fixtures[$target]:-} ]] && seeds+=("$root/${fixtures[$target]}")
    "$build/fuzz/$target" "${options[@]}" "$work/$target" "${seeds[@]}" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
    [[ -n $runs ]] || runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    findings=$(find "$work/found" -name "$target-*" -type f | wc -l)
    # A run that stopped without saving an input (out of memory in the fuzzer itself) is one too.
    if ((status != 0 && findings == 0)); then
        findings=1
    fi
    printf '%-18s %12s %9s %8s\n' "$target" "${runs:-0}" "$findings" "$((SECONDS - start))"
    if ((findings > 0)); then
        failed=1
        cp "$log" "$findingsDir/$target.log"
        find "$work/found" -name "$target-*" -type f -exec cp {} "$findingsDir/" \;
        grep -E 'invariant broken|ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -n 8 | sed 's/^/    /'
    fi
done

exit "$failed"
