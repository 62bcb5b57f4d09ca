# SPDX-License-Identifier: GPL-3.0-or-later
# A private Samba share mounted through FUSE, for tests of writing into a
# school's share (the results delivery tests). Sourced, not run, by a script
# running as root inside its own network and mount namespaces, so that
# smbd's port 445 on 127.0.0.1 and the mount are its own:
#
#   [ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
#   source tests/lib/samba_share.sh
#   trap 'stop_share' EXIT          # the caller owns its EXIT trap
#   prepare_share "$work" ACCOUNT   # ACCOUNT: whose password the mount uses
#   start_smbd; mount_share
#   ... write into "$share_folder"; look at what arrived in "$share_dir" ...
#
# The folder and the share are the README's own recipe, taken from its
# marked blocks («<!-- recipe: drop-box folder -->», «<!-- recipe: samba
# share -->») and run as they stand, with the tests' accounts in place of
# the README's examples (see readme_recipe): the folder /srv/drobi-results
# (on a tmpfs over /srv, private to the mount namespace) is $share_dir, the
# drop box of mode 3733 owned by the teacher; its share is reached through
# the mount as WORK/mnt/127.0.0.1/<share> ($share_folder). smbd runs in the
# foreground with its state, locks, pid file and log under WORK and listens
# on 127.0.0.1 only; smbnetfs (FUSE) mounts it with ACCOUNT's password, open
# to every local account (allow_other) so that a pupil's own account can
# write through it.

# The tests' accounts, standing for the README's examples: two pupils in
# the pupils' group, a teacher in the teachers' group.
share_pupil=drobi-test-pupil
share_pupil2=drobi-test-pupil2
share_teacher=drobi-test-teacher
share_work=""
share_dir=""
share_folder=""
smbd_pid=""
smbnetfs_pid=""

# readme_recipe NAME: the fenced block that follows «<!-- recipe: NAME»
# in README.md, with the tests' accounts in place of the README's examples.
readme_recipe() {
  local readme
  readme=$(dirname "${BASH_SOURCE[0]}")/../../README.md
  awk -v mark="<!-- recipe: $1" '
    index($0, mark) == 1 { found = 1; next }
    found == 1 && /^```/ { found = 2; next }
    found == 2 && /^```/ { exit }
    found == 2 { print }' "$readme" |
    sed -E "s/\bivanova\b/$share_teacher/g; s/\bteachers\b/drobi-test-teachers/g; s/\bpupils\b/drobi-test-pupils/g" |
    grep . || { echo "README.md has no recipe «$1»" >&2; return 1; }
}

# share_accounts: makes the accounts once on this machine if absent. Tests
# may run at once, so a try that loses the race to another (or finds
# /etc/passwd or /etc/group locked by it) looks again.
share_accounts() {
  local name group _
  for name in drobi-test-pupils:group drobi-test-teachers:group "$share_pupil":drobi-test-pupils \
    "$share_pupil2":drobi-test-pupils "$share_teacher":drobi-test-teachers; do
    group=${name#*:}
    name=${name%%:*}
    for _ in $(seq 50); do
      if [ "$group" = group ]; then
        getent group "$name" >/dev/null || groupadd --system "$name" 2>/dev/null || true
        getent group "$name" >/dev/null && break
      else
        id "$name" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$name" 2>/dev/null || true
        id -nG "$name" 2>/dev/null | grep -qw "$group" || usermod -aG "$group" "$name" 2>/dev/null || true
        id -nG "$name" 2>/dev/null | grep -qw "$group" && break
      fi
      sleep 0.1
    done
  done
}

# prepare_share WORK ACCOUNT
prepare_share() {
  share_work=$1
  local account=$2
  # /srv is replaced by a tmpfs: only ever in a mount namespace of our own.
  if [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
    echo "prepare_share: not in a private mount namespace" >&2
    return 1
  fi
  share_accounts
  ip link set lo up
  # The pupils' accounts pass through WORK to reach the mount.
  chmod 755 "$share_work"
  mkdir -p "$share_work"/{state,lock,pid,cache,private,log,mnt,home/.smb}
  mount -t tmpfs -o size=64m,mode=0755 tmpfs /srv
  local folder_recipe share_recipe share_name
  folder_recipe=$(readme_recipe "drop-box folder") || return 1
  share_recipe=$(readme_recipe "samba share") || return 1
  bash -euc "$folder_recipe" || { echo "the README's folder recipe failed" >&2; return 1; }
  share_dir=$(sed -n 's/^ *path = //p' <<<"$share_recipe")
  share_name=$(sed -n '1s/^\[\(.*\)\]$/\1/p' <<<"$share_recipe")
  if [ ! -d "$share_dir" ] || [ -z "$share_name" ]; then
    echo "the README's share names no folder made by its recipe" >&2
    return 1
  fi
  share_folder=$share_work/mnt/127.0.0.1/$share_name
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
$share_recipe
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
  HOME=$share_work/home smbnetfs "$share_work/mnt" -f -o allow_other -o config="$share_work/home/.smb/smbnetfs.conf" \
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
