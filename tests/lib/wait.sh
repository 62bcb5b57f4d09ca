# SPDX-License-Identifier: GPL-3.0-or-later
# Waiting for something to happen, not for the clock (sourced, not run):
#
#   source tests/lib/wait.sh
#   wait_until 20 grep -q ready "$log" || fail "never ready"
#
# wait_until <seconds> <command...>: runs the command every tenth of a second
# until it succeeds (status 0) or the seconds are up (status 1). The deadline
# is only a bound for a run that will not succeed; a busy machine waits
# longer, a quiet one not at all.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
