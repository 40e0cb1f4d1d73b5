#!/usr/bin/env bash
# Small mutation runner: applies each single-point change of scripts/mutants.tsv to a private copy
# of the tree, rebuilds it incrementally and runs the suite's ctest run. A mutant is killed when a
# test fails and survived when every test passes; one that does not build or whose text is no longer
# found is listed apart, since it says nothing about the tests.
#
#   scripts/mutants.sh [ID...]     run all mutants, or only the named ones
#   scripts/mutants.sh --check     only check that every mutant still finds its text in the source
#
# scripts/mutants.tsv holds one mutant a line: id, file, original text, replacement, separated by
# tabs; a pilcrow (¶) in a text stands for a line break.
#
# A mutant is judged in two steps that together run the whole suite: first only the tests of the
# mutated module's folder, with only their programs rebuilt; if those all pass, everything else is
# rebuilt and the rest of the suite runs. Most mutants are killed in the first step, in seconds.
#
# Environment: LINEGAUGE_MUTANTS_DIR (default build-mutants) holds the copy, its build and the log;
# LINEGAUGE_MUTANTS_TESTS, a ctest name pattern, narrows each run to some tests for a quick look
# while one module's tests change. Only a run of the whole suite judges the tests.
# LINEGAUGE_MUTANTS_DISPLAY (default 200) is the first X display its tests try, apart from the
# displays of other suites running at the same time.
set -euo pipefail
cd "$(dirname "$0")/.."

list=scripts/mutants.tsv
work=${LINEGAUGE_MUTANTS_DIR:-build-mutants}
tree=$work/tree
build=$work/build
log=$work/log
jobs=$(nproc)
only=()
[[ -n ${LINEGAUGE_MUTANTS_TESTS:-} ]] && only=(-R "$LINEGAUGE_MUTANTS_TESTS")

# Replaces the one occurrence of $2 in file $1 by $3; fails when the text is missing or repeated.
replace_once() {
    local file=$1 original=${2//¶/$'\n'} replacement=${3//¶/$'\n'} content without count
    content=$(cat "$file"; printf x)
    content=${content%x}
    without=${content//"$original"/}
    count=$(((${#content} - ${#without}) / ${#original}))
    ((count == 1)) || return 1
    printf '%s' "${content/"$original"/"$replacement"}" >"$file"
}

if [[ ${1:-} == --check ]]; then
    scratch=$(mktemp)
    trap 'rm -f "$scratch"' EXIT
    bad=0
    while IFS=$'\t' read -r id file original replacement; do
        [[ -z $id || $id == \#* ]] && continue
        cp "$file" "$scratch"
        replace_once "$scratch" "$original" "$replacement" || { echo "no single match: $id ($file)"; bad=1; }
    done <"$list"
    exit "$bad"
fi

scripts/deps.sh

build_options=()
command -v ccache >/dev/null && build_options=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Every mutant relinks most test programs; lld links them several times faster than the default.
command -v ld.lld >/dev/null && build_options+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)

echo "== copying the tree to $tree"
rm -rf "$tree"
mkdir -p "$tree" "$log"
git ls-files -co --exclude-standard -z | grep -zv '^build' | xargs -0 cp --parents -t "$tree"

echo "== building the unmutated copy"
cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINEGAUGE_BUILD_BENCH=OFF \
    -DLINEGAUGE_XVFB_FIRST_DISPLAY="${LINEGAUGE_MUTANTS_DISPLAY:-200}" "${build_options[@]}" >/dev/null
cmake --build "$build" -j "$jobs" >"$log/baseline-build.txt" 2>&1
if ! ctest --test-dir "$build" -j "$jobs" "${only[@]}" >"$log/baseline-tests.txt" 2>&1; then
    echo "The unmutated tree fails its tests; see $log/baseline-tests.txt" >&2
    exit 1
fi

wanted=("$@")
is_wanted() {
    ((${#wanted[@]} == 0)) && return 0
    local id
    for id in "${wanted[@]}"; do [[ $id == "$1" ]] && return 0; done
    return 1
}

# The tests of a module's folder (tests/<module> for src/<module>/...) as a ctest name pattern and
# the programs they run, one line each; empty when the folder has no tests.
module_tests() {
    ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, sys
folder = sys.argv[1] + "/tests/" + sys.argv[2] + "/"
tests = [t for t in json.load(sys.stdin)["tests"]
         if any(p["name"] == "WORKING_DIRECTORY" and p["value"] + "/" == folder for p in t.get("properties", []))]
if tests:
    print("^(" + "|".join(t["name"] for t in tests) + ")$")
    print(" ".join(sorted({a.rsplit("/", 1)[1] for t in tests for a in t["command"] if a.startswith(folder)})))
' "$build" "$1"
}

# Judges the mutant in the tree as it stands: killed, survived or invalid.
judge() {
    local id=$1 module=$2 pattern targets rest=("${only[@]}")
    if ((${#only[@]} == 0)) && { read -r pattern && read -r targets; } < <(module_tests "$module"); then
        # shellcheck disable=SC2086 # one word per program
        cmake --build "$build" -j "$jobs" --target $targets >"$log/$id.build.txt" 2>&1 || { echo invalid; return; }
        ctest --test-dir "$build" -j "$jobs" -R "$pattern" --stop-on-failure >"$log/$id.tests.txt" 2>&1 \
            || { echo killed; return; }
        rest=(-E "$pattern")
    fi
    cmake --build "$build" -j "$jobs" >>"$log/$id.build.txt" 2>&1 || { echo invalid; return; }
    if ctest --test-dir "$build" -j "$jobs" "${rest[@]}" --stop-on-failure >>"$log/$id.tests.txt" 2>&1; then
        echo survived
    else
        echo killed
    fi
}

killed=0 survived=0 invalid=0 stale=0
survivors=()
while IFS=$'\t' read -r id file original replacement; do
    [[ -z $id || $id == \#* ]] && continue
    is_wanted "$id" || continue
    target=$tree/$file
    backup=$log/$id.orig
    cp "$target" "$backup"
    if ! replace_once "$target" "$original" "$replacement"; then
        verdict=stale
    else
        module=${file#src/}
        verdict=$(judge "$id" "${module%%/*}")
    fi
    case $verdict in
        stale) ((++stale)) ;;
        invalid) ((++invalid)) ;;
        survived) ((++survived)) && survivors+=("$id") ;;
        killed) ((++killed)) ;;
    esac
    # A fresh time stamp makes the next build compile the original again.
    cat "$backup" >"$target"
    printf '%-8s %s  %s\n' "$verdict" "$id" "$file"
done <"$list"

cmake --build "$build" -j "$jobs" >/dev/null 2>&1 || true
((${#survivors[@]})) && echo "survivors: ${survivors[*]}"
((invalid + stale)) && echo "not judged: $invalid did not build, $stale no longer match their source"
echo "$killed killed, $survived survived"
