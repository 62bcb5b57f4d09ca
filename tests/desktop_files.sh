#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates the desktop entry and the AppStream metadata, offline.
#
# usage: desktop_files.sh <data folder>
set -euo pipefail
data=$1
desktop-file-validate "$data/io.github.drobi.Drobi.desktop" "$data/io.github.drobi.Drobi.Class.desktop"
appstreamcli validate --no-net "$data/io.github.drobi.Drobi.metainfo.xml"
