#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes the screenshots of three explanations in docs/ (a minus typed
# twice, a mixed number made improper wrongly, a slip in the arithmetic) from
# a real test: starts drobi in a private X server with its own D-Bus session
# and AT-SPI bus, and lets explanation_screenshots.py take the test, hover the
# three verdicts and save each window with its tooltip. Builds nothing; run on
# demand after the explanations or their tooltips change.
#
# usage: scripts/explanation_screenshots.sh [drobi binary] [output folder]
#        (build/drobi and docs/ of this repository by default)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bin=$(realpath "${1:-$root/build/drobi}")
out=$(realpath "${2:-$root/docs}")
[ -x "$bin" ] || { echo "no drobi binary at $bin: build it first" >&2; exit 1; }

source "$root/tests/lib/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb 1280x900x24

# Everything below lives in the private session bus and ends with it.
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  trap "kill $launcher 2>/dev/null || true" EXIT
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    timeout 180 /usr/bin/python3 "$1/explanation_screenshots.py" "$2" "$3"
' _ "$here" "$bin" "$out"
