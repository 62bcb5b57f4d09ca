#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class window under load: its worst answer while COUNT records (50000
# by default), each of a pupil of its own, are read and shown, and again
# when one more record arrives (class_bench --latency; target 100 ms); and
# the first-read store's start with a million entries (class_bench --store). The records are written once into
# a folder under /tmp and kept between runs.
#
# usage: bench/class_load.sh [count]
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

count=${1:-50000}
build_tools class_bench make_class_records
folder=/tmp/bench-class-distinct-$count
if [ "$(find "$folder" -name '*.drobi.json' 2>/dev/null | wc -l)" -ne "$count" ] \
   || [ "$BENCH_BUILD/make_class_records" -nt "$folder" ]; then
  rm -rf "$folder"
  "$BENCH_BUILD/make_class_records" "$folder" "$count" 1 --distinct
fi
# One more record, of a pupil of its own, to arrive after the load.
extra=/tmp/bench-class-extra
rm -rf "$extra"
"$BENCH_BUILD/make_class_records" "$extra" 1 7 --distinct --today
# A name no record of the folder has, so the table gains a row.
sed -i 's/"Абрамова Вера 0"/"Новикова Зоя"/' "$extra"/*.drobi.json
note_load
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
"$BENCH_BUILD/class_bench" --latency "$folder" "$(find "$extra" -name '*.drobi.json' | head -1)"
"$BENCH_BUILD/class_bench" --store 1000000
