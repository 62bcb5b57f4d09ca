# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the benchmark scripts (sourced, not run): building the benchmark
# tools and the program, and a private Xvfb for each run.
#
# BENCH_BUILD  where the benchmark tools are built (default /tmp/bench-build)
# DROBI        the program to measure; when unset it is built in
#              DROBI_BUILD (default /tmp/bench-drobi-build)

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo_dir=$(dirname "$bench_dir")
BENCH_BUILD=${BENCH_BUILD:-/tmp/bench-build}
DROBI_BUILD=${DROBI_BUILD:-/tmp/bench-drobi-build}
jobs=${JOBS:-2}

fail() { echo "FAIL: $*" >&2; exit 1; }

# build_tools <target>...: the benchmark project's targets, quietly.
build_tools() {
  local log="$BENCH_BUILD/bench-build.log"
  mkdir -p "$BENCH_BUILD"
  { cmake -S "$bench_dir" -B "$BENCH_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      && cmake --build "$BENCH_BUILD" -j"$jobs" --target "$@"; } >"$log" 2>&1 \
    || { tail -n 30 "$log" >&2; fail "building the benchmark tools failed (log: $log)"; }
}

# build_drobi: sets DROBI to the program, building it when not given.
build_drobi() {
  if [ -n "${DROBI:-}" ]; then
    [ -x "$DROBI" ] || fail "DROBI=$DROBI is not an executable"
    return
  fi
  local log="$DROBI_BUILD/drobi-build.log"
  mkdir -p "$DROBI_BUILD"
  { cmake -S "$repo_dir" -B "$DROBI_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      && cmake --build "$DROBI_BUILD" -j"$jobs" --target drobi; } >"$log" 2>&1 \
    || { tail -n 30 "$log" >&2; fail "building drobi failed (log: $log)"; }
  DROBI="$DROBI_BUILD/drobi"
}

# start_xvfb: a private X server; exports DISPLAY and stops the server when
# the script ends. The display number is picked from a high range, skipping
# any number whose lock file or socket exists: X servers of other sessions
# that share this network namespace (abstract sockets) but not this /tmp
# would otherwise answer on the low numbers -displayfd starts from.
# -noreset: by default the server resets whenever its last client leaves,
# and a program started during a reset cannot connect.
start_xvfb() {
  bench_fdfile=$(mktemp)
  bench_xvfb=""
  trap stop_xvfb EXIT
  local n tries=0
  n=$((100 + RANDOM % 400))
  while :; do
    n=$((n + 1))
    tries=$((tries + 1))
    [ "$tries" -le 50 ] || fail "Xvfb did not start"
    [ -e "/tmp/.X$n-lock" ] && continue
    grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
    : >"$bench_fdfile"
    Xvfb ":$n" -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$bench_fdfile" >/dev/null 2>&1 &
    bench_xvfb=$!
    for _ in $(seq 100); do
      [ -s "$bench_fdfile" ] && break
      kill -0 "$bench_xvfb" 2>/dev/null || break
      sleep 0.1
    done
    [ -s "$bench_fdfile" ] && break
    kill "$bench_xvfb" 2>/dev/null || true
  done
  export DISPLAY=":$(head -n1 "$bench_fdfile")"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
}

stop_xvfb() {
  [ -n "${bench_cleanup:-}" ] && eval "$bench_cleanup"
  if [ -n "$bench_xvfb" ]; then
    kill "$bench_xvfb" 2>/dev/null || true
    wait "$bench_xvfb" 2>/dev/null || true
  fi
  rm -f "$bench_fdfile"
}

# The machine's load when a run starts: the figures are only as quiet as it.
note_load() {
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
}
