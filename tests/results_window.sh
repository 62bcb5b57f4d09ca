#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A pupil's test reaches the teacher's folder on a real Samba share: the real
# drobi, with a settings file naming the share's folder, in a private X
# server, D-Bus session and AT-SPI bus (lib/a11y_bus.sh); results_window.py
# takes the test by
# keyboard and compares the record in the share with what the window showed,
# then works one task of «Работа над ошибками» and reads its record back
# through the class window's CSV export (`drobi --class`, built beside drobi).
# The share is private to this run (tests/lib/samba_share.sh): its own
# network and mount namespaces, smbd on 127.0.0.1, smbnetfs. Needs root;
# skipped (77) without.
#
# usage: results_window.sh <drobi binary> <screenshots folder>
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root for private namespaces, smbd and FUSE"
  exit 77
fi
if [ -z "${DROBI_RESULTS_NAMESPACE:-}" ]; then
  DROBI_RESULTS_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
fi

bin=$(realpath "$1")
shots=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/samba_share.sh"

work=$(mktemp -d)
cleanup() {
  set +e
  stop_share
  rm -rf "$work"
}
trap cleanup EXIT

# The share maps to an account of its own, made once on this machine.
account=drobi-test-pupil
id "$account" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$account"
prepare_share "$work" "$account"
start_smbd
mount_share

cat >"$work/drobi.conf" <<CONF
[results]
folder=$share_folder
name=ask
[practice]
after_test=yes
CONF
# The pupil's own home: the outbox lives there.
mkdir -p "$work/pupil-home"

HOME="$work/pupil-home" bash "$here/lib/a11y_bus.sh" \
  timeout 90 /usr/bin/python3 "$here/results_window.py" "$bin" "$work/drobi.conf" "$share_dir" "$shots"
