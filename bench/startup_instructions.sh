#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up work as instructions, not time: runs each program under valgrind's
# callgrind in a private Xvfb until it has shown its window and gone idle,
# and prints the instructions it executed, with the ratio of each to the
# first. Instruction counts do not move with the machine's load, so two
# builds of drobi compare exactly even where bench/startup.sh's times are
# noisy.
#
# usage: bench/startup_instructions.sh <program> [<program>...]   (~30 s each)
#   e.g. an older build against this one:
#   bench/startup_instructions.sh /tmp/old-build/drobi build/drobi
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/lib/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb 1280x900x24

first=""
for program in "$@"; do
  # 30 s is far more than a start-up takes under valgrind; after it the
  # program only waits, which costs no instructions.
  LC_ALL=C.UTF-8 timeout -s TERM 30 valgrind --tool=callgrind --callgrind-out-file="$work/out" \
    "$program" >/dev/null 2>&1 || true
  count=$(callgrind_annotate "$work/out" | awk '/PROGRAM TOTALS/ && !n++ { gsub(",", "", $1); print $1 }')
  first=${first:-$count}
  python3 -c 'import sys; n, f = int(sys.argv[1]), int(sys.argv[2]); print(f"{sys.argv[3]}: {n:,} instructions, ratio {n / f:.4f}")' \
    "$count" "$first" "$program"
  rm -f "$work/out"
done
