#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The answer key stays sealed to screen readers: starts the real drobi with
# its own X server, D-Bus session and AT-SPI bus (lib/a11y_bus.sh), and lets
# a11y_seal.py take the test through the accessibility bus as a screen
# reader (or any other client) would.
#
# usage: a11y_seal.sh <drobi binary>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/lib/a11y_bus.sh" timeout 60 /usr/bin/python3 "$here/a11y_seal.py" "$1"
