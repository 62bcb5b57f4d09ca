#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What Orca says while a pupil takes the test by keyboard. On demand, not
# part of the test command:
#
#   scripts/orca_check.sh [path/to/drobi]      # build/drobi by default
#   scripts/orca_check.sh path/to/drobi SCENE   # a shorter scene instead:
#     name-refusal, class-pupil-test, class-table-row or practice-task
#     (scripts/orca_check_scenes.py; docs/orca/ keeps their transcripts)
#
# Runs the real program under a private Xvfb with a private D-Bus session
# and accessibility bus, starts Orca (Debian's package) with speech on and
# a debug log, takes the test with xdotool (Enter on «Начать тест», a typed
# answer, Tab through the thirty boxes, Enter on «Готово!», Enter on the
# result box), then walks the window with Orca's flat review. Prints what
# Orca said after each step (the log's "SPEECH OUTPUT" lines) and a
# summary. The first run installs the Debian packages it needs.
# ORCA_CHECK_LOG=file keeps Orca's whole debug log there.
#
# Everything runs in a PID namespace of its own: Orca refuses to start
# beside another Orca of the same user, and ending the namespace ends every
# process the check started (speech-dispatcher forks itself away).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

if [ "${1:-}" = --inside ]; then
  shift
  drobi=$1
  scene=${2:-}
  work=$(mktemp -d)
  # shellcheck source=../tests/lib/xvfb.sh
  source "$root/tests/lib/xvfb.sh"
  trap 'stop_xvfb; [ -z "${ORCA_CHECK_LOG:-}" ] || cp "$work/orca.log" "$ORCA_CHECK_LOG"; rm -rf "$work"' EXIT
  start_xvfb 1280x900x24
  export HOME=$work/home LANG=C.UTF-8 LC_ALL=C.UTF-8 GSETTINGS_BACKEND=memory
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  mkdir -p "$HOME" "$work/orca"
  export ORCA_CHECK_WORK=$work
  if [ -n "$scene" ]; then
    dbus-run-session -- /usr/bin/python3 "$here/orca_check_scenes.py" "$drobi" "$work" "$scene"
  else
    dbus-run-session -- /usr/bin/python3 "$here/orca_check_steps.py" "$drobi" "$work"
  fi
  exit $?
fi

drobi=$(realpath "${1:-$root/build/drobi}")
[ -x "$drobi" ] || { echo "no program at $drobi (build it first)" >&2; exit 2; }

need=()
[ -x /usr/bin/orca ] || need+=(orca)
[ -x /usr/libexec/at-spi-bus-launcher ] || need+=(at-spi2-core)
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || need+=(python3-pyatspi)
command -v dbus-run-session >/dev/null || need+=(dbus-x11)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
if [ ${#need[@]} -gt 0 ]; then
  echo "installing ${need[*]}" >&2
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

ns=(--pid --fork --mount-proc)
[ "$(id -u)" -eq 0 ] || ns=(--user --map-root-user "${ns[@]}")
exec unshare "${ns[@]}" "$0" --inside "$drobi" "${2:-}"
