#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# True time of the countdown: the real window under a private Xvfb, a test
# started, and every tick's caption change timed against the monotonic clock
# (clock/clock_harness.cpp). Two runs: the machine as it is, then with one
# busy-looping process per core that the harness starts and kills itself.
#
# usage: bench/clock.sh [ticks]     (default 60; each run takes that many seconds)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

ticks=${1:-60}
build_tools clock_harness
start_xvfb
note_load
export LC_ALL=${LC_ALL:-C.UTF-8}

"$BENCH_BUILD/clock_harness" --ticks "$ticks" --busy 0
"$BENCH_BUILD/clock_harness" --ticks "$ticks" --busy cores
