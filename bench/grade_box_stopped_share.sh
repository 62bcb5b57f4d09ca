#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a pupil waits for when the school's share hangs: the time from
# «Готово!» to the grade box on screen, and from «Выход» or a logout
# (SIGTERM) during a test to the window gone, with the share's server
# stopped (SIGSTOP on smbd and its children, so the smbnetfs mount hangs
# instead of failing).
#
# The share of the delivery tests (tests/lib/samba_share.sh: smbd on
# 127.0.0.1 of a private network namespace, mounted with smbnetfs in a
# private mount namespace) is the results folder of a settings file
# (name=login, so no dialog). Each run starts the share afresh and the
# program in a private Xvfb with a fresh home (an empty outbox), starts a
# test with Space, walks to «Готово!» with Tab, stops smbd, and times
# `xdotool key space` until the X server maps the grade box
# (tools/window_timer, listening on the root window). Two more runs per
# program time, during a running test, «Выход» (the menu opened with a
# click, then Up and Return) and `kill -TERM`, until the window is unmapped.
# The xdotool process's own start is part of the figures.
#
# Needs root, for the namespaces, smbd and FUSE.
#
# usage: bench/grade_box_stopped_share.sh [program...]
#   each program measured RUNS times (3 unless set); without one, drobi is
#   built as the other benchmarks build it
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "needs root: private network and mount namespaces, smbd, FUSE" >&2
  exit 1
fi
if [ -z "${DROBI_BENCH_NAMESPACE:-}" ]; then
  DROBI_BENCH_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/bench_lib.sh"
source "$repo_dir/tests/lib/samba_share.sh"

runs=${RUNS:-3}
build_tools window_timer
programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  build_drobi
  programs=("$DROBI")
fi
work=$(mktemp -d)
program_pid=""
bench_cleanup='end_run; rm -rf "$work"'
account=drobi-test-pupil
id "$account" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$account"
start_xvfb

# The share's server and all it forked for its connections, stopped or
# started again.
signal_smbd() {
  [ -n "$smbd_pid" ] || return 0
  kill "-$1" "$smbd_pid" $(ps -o pid= --ppid "$smbd_pid" || true) 2>/dev/null || true
}

# end_run: the program killed, the share woken and taken down.
end_run() {
  if [ -n "$program_pid" ]; then
    kill -9 "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
  fi
  signal_smbd CONT
  stop_share
}

# start_run <program>: a fresh share and the program's window with a test
# running; sets program_pid and window.
start_run() {
  local run=$work/run
  rm -rf "$run"
  mkdir -p "$run/home"
  prepare_share "$run" "$account"
  start_smbd || fail "no share"
  mount_share || fail "no share"
  printf '[results]\nfolder=%s\nname=login\n' "$share_folder" >"$run/drobi.conf"
  HOME=$run/home LC_ALL=C.UTF-8 "$1" --settings "$run/drobi.conf" >"$run/drobi.log" 2>&1 &
  program_pid=$!
  window=$(xdotool search --sync --onlyvisible --pid "$program_pid" --name "Тест для 6 класса" | head -n1)
  xdotool windowfocus --sync "$window"
  # «Начать тест» has the focus; the first answer box has it next.
  xdotool key space
  sleep 1
}

# measure <what> <program>: one run; prints the milliseconds.
measure() {
  start_run "$2"
  local timer=("$BENCH_BUILD/window_timer" --timeout-ms 60000)
  case $1 in
  grade_box)
    # Thirty boxes, then «Готово!».
    xdotool key --delay 15 $(printf 'Tab %.0s' $(seq 30))
    sleep 0.5
    signal_smbd STOP
    "${timer[@]}" --pid "$program_pid" -- xdotool key space
    ;;
  exit)
    signal_smbd STOP
    # «Меню» at the window's top left; «Выход» is its last item.
    xdotool mousemove --window "$window" 25 8 click 1
    sleep 0.5
    "${timer[@]}" --gone "$window" -- xdotool key Up Return
    ;;
  logout)
    signal_smbd STOP
    "${timer[@]}" --gone "$window" -- kill -TERM "$program_pid"
    ;;
  esac | sed 's/ms=//'
  end_run
}

note_load
echo "smbd stopped (SIGSTOP) under the mounted share; $runs runs per program and case"
declare -A labels=([grade_box]="«Готово!» to the grade box" [exit]="«Выход» during a test to the window gone"
  [logout]="SIGTERM during a test to the window gone")
for what in grade_box exit logout; do
  for program in "${programs[@]}"; do
    figures=()
    for _ in $(seq "$runs"); do
      figures+=("$(measure "$what" "$program")")
    done
    label=${labels[$what]}
    python3 - "$program" "$label" "${figures[@]}" <<'PY'
import statistics, sys
program, label, *ms = sys.argv[1:]
values = [float(m) for m in ms]
print(f"{label}: {program}: median {statistics.median(values):.0f} ms "
      f"(runs: {', '.join(f'{v:.0f}' for v in values)})")
PY
  done
done
