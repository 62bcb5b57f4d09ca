#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of a running test: CPU time per tick of drobi between its first
# and its sixtieth tick, against the floor measured in the same run, the bare
# window whose one label a 1 s precise timer rewrites (bare_window --tick).
#
# Both programs start together under a private Xvfb, side by side. "Начать
# тест" is pressed with xdotool (its centre lies at 232, 132 of the client
# area, below the menu bar). The CPU time of both processes (all threads,
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
xdotool windowmove "$win" 0 0 windowmove "$bare_win" 600 0
sleep 1

eval "$(xdotool getwindowgeometry --shell "$win")"
menubar=$((HEIGHT - 629))
xdotool mousemove --window "$win" 232 $((132 + menubar)) click 1
clicked=$(date +%s.%N)

# sleep_until <seconds after the click>
sleep_until() { sleep "$(awk -v c="$clicked" -v s="$1" -v n="$(date +%s.%N)" 'BEGIN { d = c + s - n; print (d > 0) ? d : 0 }')"; }
# field <line> <key>
field() { printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

sleep_until 1.5
shot1=$(import -window "$win" rgb:- | md5sum)
first=$("$cpu" "$drobi" "$bare")
sleep_until "$ticks.5"
last=$("$cpu" "$drobi" "$bare")
shot2=$(import -window "$win" rgb:- | md5sum)
kill -0 "$drobi" 2>/dev/null || fail "drobi died during the test"
[ "$shot1" != "$shot2" ] || fail "drobi's window did not change: was the test started?"

counted=$((ticks - 1))
per_tick() { # <pid> <key> <divisor>: CPU per tick between the two readings, in ms
  local a b
  a=$(field "$(printf '%s\n' "$first" | grep "^pid=$1 ")" "$2")
  b=$(field "$(printf '%s\n' "$last" | grep "^pid=$1 ")" "$2")
  awk -v a="$a" -v b="$b" -v n="$counted" -v q="$3" 'BEGIN { printf "%.3f", (b - a) / q / n }'
}
d=$(per_tick "$drobi" cpu_ns 1e6)
b=$(per_tick "$bare" cpu_ns 1e6)
echo "ticks 2..$ticks of a running test ($counted ticks, read between ticks)"
awk -v d="$d" -v b="$b" 'BEGIN {
  r = d / b
  printf "idle CPU per tick: drobi %.3f ms, bare %.3f ms, ratio %.2f (target <= 1.20) %s\n", d, b, r, (r <= 1.2) ? "met" : "MISSED"
}'
echo "  the same from /proc/<pid>/stat (10 ms steps): drobi $(per_tick "$drobi" stat_ms 1) ms, bare $(per_tick "$bare" stat_ms 1) ms"
