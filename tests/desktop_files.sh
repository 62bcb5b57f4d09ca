#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates the desktop entry and the AppStream metadata, offline.
#
# usage: desktop_files.sh <data folder> <desktop ID> <class window's desktop ID>
set -euo pipefail
data=$1
id=$2
class_id=$3
desktop-file-validate "$data/$id.desktop" "$data/$class_id.desktop"
appstreamcli validate --no-net "$data/$id.metainfo.xml"
