# SPDX-License-Identifier: GPL-3.0-or-later
# A private Samba share mounted through FUSE, for tests of writing into a
# school's share (the results delivery tests). Sourced, not run, by a script
# running as root inside its own network and mount namespaces, so that
# smbd's port 445 on 127.0.0.1 and the mount are its own:
#
#   [ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
#   source tests/lib/samba_share.sh
#   trap 'stop_share' EXIT          # the caller owns its EXIT trap
#   prepare_share "$work" ACCOUNT   # ACCOUNT: a Unix account the share maps to
#   start_smbd; mount_share
#   ... write into "$share_folder"; look at what arrived in "$share_dir" ...
#
# prepare_share writes the configuration under WORK: the share "results" is
# WORK/share (the folder on the server's disk, $share_dir), reached through
# the mount as WORK/mnt/127.0.0.1/results ($share_folder). smbd runs in the
# foreground with its state, locks, pid file and log under WORK and listens
# on 127.0.0.1 only; smbnetfs (FUSE) mounts it with ACCOUNT's password.

share_work=""
share_dir=""
share_folder=""
smbd_pid=""
smbnetfs_pid=""

# prepare_share WORK ACCOUNT
prepare_share() {
  share_work=$1
  local account=$2
  share_dir=$share_work/share
  share_folder=$share_work/mnt/127.0.0.1/results
  ip link set lo up
  # smbd reaches the share's folder as the account: WORK must be passable.
  chmod 755 "$share_work"
  mkdir -p "$share_work"/{state,lock,pid,cache,private,log,mnt,home/.smb} "$share_dir"
  chmod 1777 "$share_dir"
  cat >"$share_work/smb.conf" <<CONF
[global]
  interfaces = 127.0.0.1
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  server role = standalone server
  map to guest = never
  state directory = $share_work/state
  lock directory = $share_work/lock
  pid directory = $share_work/pid
  cache directory = $share_work/cache
  private dir = $share_work/private
  ncalrpc dir = $share_work/state/ncalrpc
  log file = $share_work/log/smbd.log
  passdb backend = tdbsam:$share_work/private/passdb.tdb
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
[results]
  path = $share_dir
  read only = no
  create mask = 0640
  hide unreadable = yes
CONF
  printf 'secret\nsecret\n' | smbpasswd -c "$share_work/smb.conf" -s -a "$account" >/dev/null
  # smbnetfs refuses a configuration with a password that others may read.
  # Its negative cache stays on: turning it off keeps it from mounting.
  cat >"$share_work/home/.smb/smbnetfs.conf" <<CONF
auth "$account" "secret"
host 127.0.0.1 visible=true
smb_query_browsers "false"
use_libsecret "false"
smb_timeout 5000
CONF
  chmod 600 "$share_work/home/.smb/smbnetfs.conf"
  : >"$share_work/home/.smb/smb.conf"
}

# start_smbd: starts smbd and waits until it takes connections.
start_smbd() {
  smbd --foreground --no-process-group -s "$share_work/smb.conf" </dev/null >/dev/null 2>&1 &
  smbd_pid=$!
  local _
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null && return 0
    sleep 0.1
  done
  echo "smbd did not start: $(tail -n5 "$share_work/log/smbd.log" 2>/dev/null)" >&2
  return 1
}

# stop_smbd: kills smbd and the processes it forked for each connection,
# by their ids, at once (as a server that goes down does).
stop_smbd() {
  [ -n "$smbd_pid" ] || return 0
  local children
  children=$(ps -o pid= --ppid "$smbd_pid" || true)
  kill -9 "$smbd_pid" $children 2>/dev/null || true
  wait "$smbd_pid" 2>/dev/null || true
  smbd_pid=""
}

# mount_share: mounts the share with smbnetfs and waits until the share's
# folder is reachable through it.
mount_share() {
  HOME=$share_work/home smbnetfs "$share_work/mnt" -f -o config="$share_work/home/.smb/smbnetfs.conf" \
    >"$share_work/log/smbnetfs.log" 2>&1 &
  smbnetfs_pid=$!
  local _
  for _ in $(seq 100); do
    [ -d "$share_folder" ] && return 0
    sleep 0.1
  done
  echo "the share did not mount: $(tail -n5 "$share_work/log/smbnetfs.log")" >&2
  return 1
}

# unmount_share: unmounts it and ends smbnetfs.
unmount_share() {
  [ -n "$smbnetfs_pid" ] || return 0
  fusermount3 -u "$share_work/mnt" 2>/dev/null || kill "$smbnetfs_pid" 2>/dev/null || true
  wait "$smbnetfs_pid" 2>/dev/null || true
  smbnetfs_pid=""
}

# stop_share: both of the above; may be called more than once.
stop_share() {
  unmount_share
  stop_smbd
}
