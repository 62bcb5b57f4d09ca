# SPDX-License-Identifier: GPL-3.0-or-later
# A private Xvfb for scripts that run Qt programs on a real X server (the
# smoke test, the seal test, the desktop checks, the class window's test,
# the benchmarks, the Orca check, the class window's screenshots). Sourced,
# not run:
#
#   source tests/lib/xvfb.sh
#   trap stop_xvfb EXIT            # the caller owns its EXIT trap
#   start_xvfb 1280x900x24         # WIDTHxHEIGHTxDEPTH, this one by default
#
# start_xvfb installs no trap: a script that has more to clean up calls
# stop_xvfb from its own EXIT handler. stop_xvfb may be called more than
# once, and before start_xvfb.
#
# The display number is picked at random from a high range, skipping any
# number whose lock file or socket exists: X servers of other sessions that
# share this network namespace (abstract sockets) but not this /tmp would
# otherwise answer on the low numbers -displayfd starts from. -noreset: by
# default the server resets whenever its last client leaves, and a program
# started during a reset cannot connect.

xvfb_pid=""
xvfb_fdfile=""
xvfb_runtime_dir=""

# start_xvfb [WIDTHxHEIGHTxDEPTH]: starts the server and exports DISPLAY;
# Qt programs started afterwards use it (QT_QPA_PLATFORM and WAYLAND_DISPLAY
# are unset). Gives XDG_RUNTIME_DIR a private folder when it has none.
# Returns non-zero, after saying so on stderr, when no server started.
start_xvfb() {
  local screen=${1:-1280x900x24} n tries
  xvfb_fdfile=$(mktemp)
  n=$((100 + RANDOM % 400))
  for ((tries = 0; tries < 50; tries++)); do
    n=$((n + 1))
    [ -e "/tmp/.X$n-lock" ] && continue
    grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
    : >"$xvfb_fdfile"
    Xvfb ":$n" -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
      3>"$xvfb_fdfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -s "$xvfb_fdfile" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -s "$xvfb_fdfile" ]; then
      export DISPLAY=":$(head -n1 "$xvfb_fdfile")"
      unset QT_QPA_PLATFORM WAYLAND_DISPLAY
      if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        xvfb_runtime_dir=$(mktemp -d)
        export XDG_RUNTIME_DIR=$xvfb_runtime_dir
      fi
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "Xvfb did not start" >&2
  return 1
}

# stop_xvfb: ends the server started by start_xvfb and removes what it made.
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
  [ -z "$xvfb_fdfile" ] || rm -f "$xvfb_fdfile"
  xvfb_fdfile=""
  [ -z "$xvfb_runtime_dir" ] || rm -rf "$xvfb_runtime_dir"
  xvfb_runtime_dir=""
}
