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

# A screen larger than the window: the tooltips reach beyond its edge.
A11Y_BUS_SCREEN=1280x900x24 exec bash "$root/tests/lib/a11y_bus.sh" \
  timeout 180 /usr/bin/python3 "$here/explanation_screenshots.py" "$bin" "$out"
