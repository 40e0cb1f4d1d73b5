#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over our sources in src/, tools/, bench/ and tests/, two
# files at a time, using the build folder's compile_commands.json. Any warning fails the run.
#
#   scripts/tidy.sh [file ...]     (no files: every source the build compiles)
#
# LINEGAUGE_TIDY_BUILD names the build folder (default build); LINEGAUGE_TIDY_DIRS the top folders
# whose sources are checked (default "src tools bench tests").
#
# A file found clean is remembered by a hash of the checker's version, its configuration, the
# compile command and the file's preprocessed text (headers included), with the checkout's path
# taken out; it is not checked again until one of them changes. LINEGAUGE_TIDY_CACHE names the
# folder of these marks (default ~/.cache/linegauge-tidy).
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
    mapfile -t files < <(realpath -- "$@")
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

cache=${LINEGAUGE_TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/linegauge-tidy}
mkdir -p "$cache"
mapfile -t commands < <(python3 - "$build/compile_commands.json" "${files[@]}" <<'PY'
import json, shlex, sys
wanted = sys.argv[2:]
by_file = {}
for entry in json.load(open(sys.argv[1])):
    by_file.setdefault(entry["file"], entry)
for path in wanted:
    entry = by_file.get(path)
    if entry is None:
        print("")
        continue
    # The same command, preprocessing only: no object file, no line markers.
    words = shlex.split(entry["command"])
    kept, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word == "-o":
            skip = True
        elif word != "-c":
            kept.append(word)
    print("cd " + shlex.quote(entry["directory"]) + " && " + shlex.join(kept + ["-E", "-P", "-w"]))
PY
)

# Prints nothing when the file cannot be preprocessed (no compile command, or the command fails): a
# key without the file's text would mark other contents clean too, so such a file is always checked.
tidy_key() {
    local preprocess=$1 text
    [[ -n $preprocess ]] || return 0
    text=$(sh -c "$preprocess" 2>/dev/null) || return 0
    {
        "$tidy" --version
        cat "$root/.clang-tidy"
        printf '%s\n%s\n' "$preprocess" "$text"
    } | sed "s|$root|@|g" | sha256sum | cut -d' ' -f1
}

pending=()
marks=()
for i in "${!files[@]}"; do
    key=$(tidy_key "${commands[i]}")
    mark=${key:+$cache/$key}
    [[ -n $mark && -e $mark ]] && continue
    pending+=("${files[i]}")
    marks+=("$mark")
done

echo "clang-tidy: ${#files[@]} files, ${#pending[@]} changed since their last clean check"
# Each file's report is printed whole, so the two parallel runs do not interleave their lines.
for i in "${!pending[@]}"; do printf '%s\0%s\0' "${pending[i]}" "${marks[i]}"; done | xargs -0 -r -P2 -n2 sh -c '
    out=$("$0" -p "$1" --quiet --warnings-as-errors="*" "$2" 2>&1) && { [ -z "$3" ] || touch "$3"; exit 0; }
    printf "%s\n" "$out" | grep -v "warnings generated\|^Suppressed \|^Use -header-filter" >&2
    exit 1' "$tidy" "$build"
echo "clang-tidy: clean"
