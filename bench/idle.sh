#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of a running test: CPU time per tick of drobi between its first
# and its sixtieth tick, against the floor measured in the same run, the bare
# window whose one label a 1 s precise timer rewrites (bare_window --tick).
#
# Both programs start together under a private Xvfb, side by side. "Начать
# тест", which has the focus, is pressed with Space (xdotool), and the run
# goes on once the window shows the tasks. The CPU time of both processes (all threads,
# nanoseconds: tools/cpu_time) is read half a second after drobi's first
# tick and half a second after its sixtieth: drobi's readings fall between
# its ticks, 59 of them in between; the bare window's timer runs with its
# own phase, and any 59 s hold 59 of its ticks (give or take the share of
# one that a reading happens to cut). As on a pupil's desktop, drobi's
# window is the active one, with the text cursor in the first answer box.
#
# usage: bench/idle.sh [ticks]     (default 60; takes about that many seconds)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

ticks=${1:-60}
build_tools bare_window cpu_time
build_drobi
cpu="$BENCH_BUILD/cpu_time"

start_xvfb
note_load
export LC_ALL=${LC_ALL:-C.UTF-8}

"$DROBI" &
drobi=$!
"$BENCH_BUILD/bare_window" --tick &
bare=$!
bench_cleanup="kill $drobi $bare 2>/dev/null || true"

win=$(timeout 20 xdotool search --sync --onlyvisible --name "Тест для 6 класса" | head -n1) \
  || fail "drobi's window did not appear"
bare_win=$(timeout 20 xdotool search --sync --onlyvisible --name "bare window, ticking" | head -n1) \
  || fail "the bare window did not appear"
# Side by side, so that neither hides the other and both reach the screen.
xdotool windowmove --sync "$win" 0 0 windowmove --sync "$bare_win" 600 0

shot0=$(import -window "$win" rgb:- | md5sum)
xdotool windowfocus --sync "$win"
xdotool key space
clicked=$(date +%s.%N)
source "$repo_dir/tests/lib/wait.sh"
started() { [ "$(import -window "$win" rgb:- | md5sum)" != "$shot0" ]; }
wait_until 10 started || fail "drobi's window did not change: was the test started?"

# sleep_until <seconds after the key press>
sleep_until() { sleep "$(python3 -c "import time; print(max(0.0, $clicked + $1 - time.time()))")"; }

sleep_until 1.5
first=$("$cpu" "$drobi" "$bare")
sleep_until "$ticks.5"
last=$("$cpu" "$drobi" "$bare")
kill -0 "$drobi" 2>/dev/null || fail "drobi died during the test"

# CPU per tick between the two readings, for both programs (cpu_time prints
# one line a process: pid=<pid> cpu_ns=<n> stat_ms=<n>).
python3 - "$drobi" "$bare" "$((ticks - 1))" "$ticks" "$first" "$last" <<'PY'
import sys

drobi, bare, counted, ticks, first, last = sys.argv[1:7]
counted = int(counted)


def readings(text):
    by_pid = {}
    for line in text.splitlines():
        fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
        by_pid[fields["pid"]] = fields
    return by_pid


a, b = readings(first), readings(last)


def per_tick(pid, key, divisor):
    return (float(b[pid][key]) - float(a[pid][key])) / divisor / counted


d, r = per_tick(drobi, "cpu_ns", 1e6), per_tick(bare, "cpu_ns", 1e6)
ratio = d / r
print(f"ticks 2..{ticks} of a running test ({counted} ticks, read between ticks)")
print(f"idle CPU per tick: drobi {d:.3f} ms, bare {r:.3f} ms, ratio {ratio:.2f} (target <= 1.20) "
      + ("met" if ratio <= 1.2 else "MISSED"))
print(f"  the same from /proc/<pid>/stat (10 ms steps): drobi {per_tick(drobi, 'stat_ms', 1):.3f} ms, "
      f"bare {per_tick(bare, 'stat_ms', 1):.3f} ms")
PY
