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

# A private Xvfb for each run (start_xvfb, 1280x900x24 unless told): the
# one of tests/lib/xvfb.sh. On exit the script's own clean-up runs first
# (bench_cleanup, a command), then the server stops.
source "$repo_dir/tests/lib/xvfb.sh"
bench_exit() {
  [ -z "${bench_cleanup:-}" ] || eval "$bench_cleanup"
  stop_xvfb
}
trap bench_exit EXIT
unset QT_SCALE_FACTOR

# The machine's load when a run starts: the figures are only as quiet as it.
note_load() {
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
}
