#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates the desktop entry and the AppStream metadata, offline.
#
# The practice's entry starts `drobi --practice`.
#
# usage: desktop_files.sh <data folder> <desktop ID> <class window's desktop ID> <practice's desktop ID>
set -euo pipefail
data=$1
id=$2
class_id=$3
practice_id=$4
desktop-file-validate "$data/$id.desktop" "$data/$class_id.desktop" "$data/$practice_id.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$data/$practice_id.desktop")
[ "$exec_line" = "drobi --practice" ] || { echo "FAIL: $practice_id.desktop runs '$exec_line'" >&2; exit 1; }
appstreamcli validate --no-net "$data/$id.metainfo.xml"
