#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class window's first read over a Samba share: COUNT records (1000 by
# default) written on the server's side into the share of the delivery
# tests (tests/lib/samba_share.sh: smbd on 127.0.0.1 of a private network
# namespace, mounted with smbnetfs in a private mount namespace), then
# class/class_bench --first-read reads them through the mount, before
# anything else has touched it, and the same files on the server's disk as
# the yardstick. Needs root, for the namespaces, smbd and FUSE.
#
# usage: bench/class_share.sh [count]
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "needs root: private network and mount namespaces, smbd, FUSE" >&2
  exit 1
fi
if [ -z "${DROBI_BENCH_NAMESPACE:-}" ]; then
  DROBI_BENCH_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/bench_lib.sh"
source "$repo_dir/tests/lib/samba_share.sh"

count=${1:-1000}
build_tools class_bench make_class_records
work=$(mktemp -d)
bench_cleanup='stop_share; rm -rf "$work"'
# The README's drop box and share, mounted with the teacher's password: the
# teacher reads; the records are a pupil's, as delivered (group teachers, 0640).
prepare_share "$work" "$share_teacher"
start_smbd
mount_share
"$BENCH_BUILD/make_class_records" "$share_dir" "$count" 1
chown "$share_pupil:drobi-test-teachers" "$share_dir"/*.drobi.json
chmod 0640 "$share_dir"/*.drobi.json
note_load
echo "$count records through the share (smbd on 127.0.0.1, mounted with smbnetfs), nothing of it read before"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) "$BENCH_BUILD/class_bench" --first-read "$share_folder" "$share_dir"
