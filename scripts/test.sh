#!/usr/bin/env bash
# Builds everything and runs every test: formatting, the normal build and its tests, clang-tidy over
# the program's sources, the sanitizer build and its tests, then a short pass of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=$(nproc)

# Every build below (the fuzz build too) goes through ccache, so a run after a small change
# recompiles little; paths are taken relative to the checkout, so another clone of it hits the same cache.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

echo "== clang-format"
mapfile -t sources < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v '^build')
clang-format --dry-run --Werror "${sources[@]}"

run_suite() {
    local dir=$1
    shift
    echo "== build $dir"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "== tests $dir"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite build

# The program and its tools; scripts/tidy.sh alone also checks the tests and benchmarks.
echo "== clang-tidy"
LINEGAUGE_TIDY_DIRS="src tools" scripts/tidy.sh

run_suite build-asan -DLINEGAUGE_SANITIZE=ON -DLINEGAUGE_BUILD_BENCH=OFF

echo "== fuzz smoke"
scripts/fuzz.sh 5
