#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command where Qt's accessibility is live: a private X server
# (tests/lib/xvfb.sh), a private D-Bus session with its own AT-SPI bus, and
# Qt told to talk to that bus whether or not a screen reader runs. For the
# tests that watch what the program tells accessibility clients: a11y_seal
# and results_window (clients on the bus), tst_a11y_events (the events,
# recorded in-process) and tst_handing_on (an event raised while the hook
# hands one to the bus); and for scripts/explanation_screenshots.sh.
#
# usage: a11y_bus.sh <command> [arguments...]
# The screen is 1024x768 unless A11Y_BUS_SCREEN says otherwise (WxHxDEPTH).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb "${A11Y_BUS_SCREEN:-1024x768x24}"

# Everything below lives in the private session bus and ends with it; the X
# server is stopped by this script's own exit trap.
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  trap "kill $launcher 2>/dev/null || true" EXIT
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$@"
' _ "$@"
