#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The answer key stays sealed to screen readers: starts the real drobi in a
# private X server with its own D-Bus session and AT-SPI bus, and lets
# a11y_seal.py take the test through the accessibility bus as a screen
# reader (or any other client) would.
#
# usage: a11y_seal.sh <drobi binary>
set -euo pipefail

bin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb 1024x768x24

# Everything below lives in the private session bus and ends with it; the X
# server is stopped by this script's own exit trap.
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  trap "kill $launcher 2>/dev/null || true" EXIT
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    timeout 60 /usr/bin/python3 "$1/a11y_seal.py" "$2"
' _ "$here" "$bin"
