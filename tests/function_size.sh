#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps every function of the program's own code within 60 lines and a
# cognitive complexity of 25, as clang-tidy measures them
# (readability-function-size, readability-function-cognitive-complexity).
# The program's code is the sources of runtime/, fraction/, session/,
# results/, window/, classview/ and main.cpp, and the headers beside them;
# not tests/, bench/ or fuzz/, nor the code Qt's moc generates into the build
# folder. Each source is analysed with its compile command from the build
# folder's compile_commands.json, so the build must have run first (the
# sources include moc's output); the sources are shared out over the cores.
#
# function_size.allow lists functions still over the limits, waiting to be
# split ("<file> <function>", one a line): the test fails for any other
# function over them, and for a listed one that is no longer over, so that
# the list only shrinks.
#
# usage: function_size.sh <source folder> <build folder> [clang-tidy]
set -euo pipefail

src=$1
build=$2
tidy=${3:-clang-tidy}
allow="$src/tests/function_size.allow"
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v "$tidy" >/dev/null || fail "$tidy not found: scripts/install-deps.sh test installs clang-tidy"
[ -f "$build/compile_commands.json" ] || fail "no $build/compile_commands.json: configure with CMAKE_EXPORT_COMPILE_COMMANDS (CMakeLists.txt sets it)"

folders='runtime|fraction|session|results|window|classview'
sources=("$src/main.cpp")
for folder in ${folders//|/ }; do
  sources+=("$src/$folder"/*.cpp)
done
# Only the project's own headers, straight in a library's folder.
src_pattern=$(printf '%s' "$src" | sed 's/[][\.*^$+?(){}|]/\\&/g')
export tidy build
export headers="^$src_pattern/($folders)/[^/]*\\.h\$"
export config="{Checks: '-*,readability-function-size,readability-function-cognitive-complexity',
  CheckOptions: [{key: readability-function-size.LineThreshold, value: 60},
                 {key: readability-function-cognitive-complexity.Threshold, value: 25},
                 {key: readability-function-cognitive-complexity.DescribeBasicIncrements, value: false}]}"
logs=$(mktemp -d)
export logs
trap 'rm -rf "$logs"' EXIT

# One log per source, so that parallel runs do not interleave their lines;
# a source clang-tidy cannot compile leaves its log in failed/.
analyse() {
  local log="$logs/${1//\//_}.log"
  "$tidy" -p "$build" --quiet --config="$config" --header-filter="$headers" "$1" >"$log" 2>&1 \
    || cp "$log" "$logs/failed/"
}
export -f analyse
mkdir "$logs/failed"
printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P"$(nproc)" bash -c 'analyse "$1"' analyse
if [ -n "$(ls "$logs/failed")" ]; then
  grep -h -v ' warnings\? generated\.$' "$logs"/failed/* >&2 || true
  fail "clang-tidy could not analyse every source (is the build folder configured and built?)"
fi

# "<file> <function>: <what is over>", one a line, each once although a
# header's function is reported by every source that includes it.
found=$(awk -v prefix="$src/" '
  function flush() { if (key != "") print key ": " what; key = "" }
  / warning: function .*\[readability-function-(size|cognitive-complexity)\]$/ {
    flush()
    file = $1; sub(/:.*/, "", file)
    if (index(file, prefix) == 1) file = substr(file, length(prefix) + 1)
    name = $0; sub(/^[^\x27]*\x27/, "", name); sub(/\x27.*/, "", name)
    key = file " " name
    what = ""
    if ($0 ~ /cognitive complexity of/) { what = $0; sub(/.* has /, "", what); sub(/ \[readability-.*/, "", what) }
    next
  }
  key != "" && / note: .*\(threshold [0-9]+\)$/ {
    n = $0; sub(/.* note: /, "", n); sub(/ including whitespace and comments/, "", n)
    what = what (what == "" ? "" : "; ") n
    next
  }
  / warning: / { flush() }
  END { flush() }
' "$logs"/*.log | sort -u)

allowed=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$allow" | sort -u)
over=$(sed -n 's/: .*//p' <<<"$found" | sort -u)
new=$(comm -23 <(echo "$over") <(echo "$allowed") | sed '/^$/d')
fixed=$(comm -13 <(echo "$over") <(echo "$allowed") | sed '/^$/d')

echo "${#sources[@]} sources analysed in $SECONDS s; functions over the limits:"
sed 's/^/  /' <<<"${found:-(none)}"
status=0
if [ -n "$new" ]; then
  echo "FAIL: over 60 lines or cognitive complexity 25, and not in tests/function_size.allow:" >&2
  sed 's/^/  /' <<<"$new" >&2
  status=1
fi
if [ -n "$fixed" ]; then
  echo "FAIL: within the limits now, to be removed from tests/function_size.allow:" >&2
  sed 's/^/  /' <<<"$fixed" >&2
  status=1
fi
exit $status
