#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and resident memory of drobi against the bare window,
# measured side by side in one run under a private Xvfb.
#
# Runs alternate between the two programs (and which goes first alternates
# too), so load on the machine falls on both alike. Each run times process
# start to the X server's MapNotify of the program's top-level window
# (tools/map_timer), reads VmRSS 2 s after the map, then ends the program.
# The CPU time each program had used by its map is printed as well: it
# suffers less than the elapsed time when other processes share the cores.
# One unmeasured run of each warms the disk cache first.
#
# usage: bench/startup.sh [runs]     (default 15; DROBI=<binary> to skip the build)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

runs=${1:-15}
build_tools bare_window map_timer
build_drobi
bare="$BENCH_BUILD/bare_window"
probe="$BENCH_BUILD/map_timer"

start_xvfb
note_load
# Drobi's translations follow the locale of the machine it runs on.
export LC_ALL=${LC_ALL:-C.UTF-8}

results=$(mktemp)
bench_cleanup="rm -f '$results'"

measure() { # <name> <program>
  local line
  line=$("$probe" --rss-after-ms 2000 -- "$2") || fail "$1 did not map a window"
  echo "$1 $line" >>"$results"
}

"$probe" -- "$bare" >/dev/null
"$probe" -- "$DROBI" >/dev/null
for i in $(seq "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    measure bare "$bare"
    measure drobi "$DROBI"
  else
    measure drobi "$DROBI"
    measure bare "$bare"
  fi
done

# field <name> <key>: the values of one figure, one a line.
field() { awk -v n="$1" -v k="$2" '$1 == n { for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }' "$results"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s..%s", lo, hi }'; }

report() { # <label> <key> <unit> <divisor> <target>
  local d b
  d=$(field drobi "$2" | median)
  b=$(field bare "$2" | median)
  awk -v l="$1" -v d="$d" -v b="$b" -v u="$3" -v q="$4" -v t="$5" 'BEGIN {
    r = d / b
    printf "%s: drobi %.1f %s, bare %.1f %s, ratio %.3f (target <= %.2f) %s\n", l, d / q, u, b / q, u, r, t, (r <= t) ? "met" : "MISSED"
  }'
}

echo "$runs runs each, interleaved"
report "startup median" map_ms ms 1 1.10
report "memory median (VmRSS 2 s after map)" rss_kb MiB 1024 1.08
d=$(field drobi cpu_ms | median)
b=$(field bare cpu_ms | median)
awk -v d="$d" -v b="$b" 'BEGIN { printf "  CPU time until the map (less sensitive to load): drobi %.1f ms, bare %.1f ms, ratio %.3f\n", d, b, d / b }'
for part in anon_kb file_kb shmem_kb; do
  d=$(field drobi $part | median)
  b=$(field bare $part | median)
  echo "  ${part%_kb}: drobi $d kB, bare $b kB, difference $((${d%.*} - ${b%.*})) kB"
done
echo "  startup spread: drobi $(field drobi map_ms | spread) ms, bare $(field bare map_ms | spread) ms"
