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

echo "$runs runs each, interleaved"
# Medians and ratios of the collected lines ("<name> key=value ...").
python3 - "$results" <<'PY'
import statistics
import sys

runs = {"drobi": [], "bare": []}
with open(sys.argv[1]) as f:
    for line in f:
        name, *fields = line.split()
        runs[name].append({k: float(v) for k, v in (f.split("=", 1) for f in fields)})


def median(name, key):
    return statistics.median(r[key] for r in runs[name])


def report(label, key, unit, divisor, target):
    d, b = median("drobi", key), median("bare", key)
    ratio = d / b
    print(f"{label}: drobi {d / divisor:.1f} {unit}, bare {b / divisor:.1f} {unit}, ratio {ratio:.3f} "
          f"(target <= {target:.2f}) " + ("met" if ratio <= target else "MISSED"))


report("startup median", "map_ms", "ms", 1, 1.10)
report("memory median (VmRSS 2 s after map)", "rss_kb", "MiB", 1024, 1.08)
d, b = median("drobi", "cpu_ms"), median("bare", "cpu_ms")
print(f"  CPU time until the map (less sensitive to load): drobi {d:.1f} ms, bare {b:.1f} ms, ratio {d / b:.3f}")
for part in ("anon_kb", "file_kb", "shmem_kb"):
    d, b = median("drobi", part), median("bare", part)
    print(f"  {part[:-3]}: drobi {d:g} kB, bare {b:g} kB, difference {int(d) - int(b)} kB")


def spread(name):
    values = sorted(r["map_ms"] for r in runs[name])
    return f"{values[0]:g}..{values[-1]:g}"


print(f"  startup spread: drobi {spread('drobi')} ms, bare {spread('bare')} ms")
PY
