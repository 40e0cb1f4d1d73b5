#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over our sources in src/, tools/, bench/ and tests/, two
# files at a time, using the build folder's compile_commands.json. Any warning fails the run.
#
#   scripts/tidy.sh [file ...]     (no files: every source the build compiles)
#
# LINEGAUGE_TIDY_BUILD names the build folder (default build); LINEGAUGE_TIDY_DIRS the top folders
# whose sources are checked (default "src tools bench tests").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINEGAUGE_TIDY_BUILD:-$root/build}
[[ $build = /* ]] || build=$root/$build
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)

if [[ ! -f $build/compile_commands.json ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# The sources include moc and uic output, which only the build's code generators make.
mapfile -t generators < <(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p')
if ((${#generators[@]})); then
    cmake --build "$build" -j2 --target "${generators[@]}" >/dev/null
fi

if (($#)); then
    files=("$@")
else
    mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" "${LINEGAUGE_TIDY_DIRS:-src tools bench tests}" <<'PY'
import json, sys
root = sys.argv[2] + "/"
dirs = sys.argv[3].split()
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = entry["file"]
    if not path.startswith(root) or "_autogen" in path or path in seen:
        continue
    if path[len(root):].split("/")[0] in dirs:
        seen.add(path)
        print(path)
PY
    )
fi

echo "clang-tidy: ${#files[@]} files"
# Each file's report is printed whole, so the two parallel runs do not interleave their lines.
printf '%s\0' "${files[@]}" | xargs -0 -P2 -n1 sh -c '
    out=$("$0" -p "$1" --quiet --warnings-as-errors="*" "$2" 2>&1) && exit 0
    printf "%s\n" "$out" | grep -v "warnings generated\|^Suppressed \|^Use -header-filter" >&2
    exit 1' "$tidy" "$build"
echo "clang-tidy: clean"
