#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class window on a school year of one teacher: COUNT records (10000 by
# default) written once into a folder under /tmp (kept between runs, written
# again when the program's record writer changes), then
# class/class_bench reads them and opens the window on them (offscreen).
# See the head of class/class_bench.cpp for what each figure means.
#
# usage: bench/class.sh [count]
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

count=${1:-10000}
build_tools class_bench make_class_records
folder=/tmp/bench-class-$count
if [ "$(find "$folder" -name '*.drobi.json' 2>/dev/null | wc -l)" -ne "$count" ] \
   || [ "$BENCH_BUILD/make_class_records" -nt "$folder" ]; then
  rm -rf "$folder"
  "$BENCH_BUILD/make_class_records" "$folder" "$count" 1
fi
note_load
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) "$BENCH_BUILD/class_bench" "$folder"
