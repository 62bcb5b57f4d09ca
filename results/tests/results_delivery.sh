#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Delivery of results records with the real parts, one case per run:
#
#   share_concurrent    thirty programs deliver into a Samba share at once
#   share_smbd_stopped  smbd is killed while a record is being written, then
#                       started again; the next start delivers
#   share_unmounted     the share is not mounted; the next start delivers
#   share_killed        the program is killed (SIGKILL) while a record is
#                       being written; the next start delivers
#   disk_full           the folder's disk is full (a small tmpfs); nothing
#                       partial is left, and the record arrives once there is room
#   dropbox             the README's drop box (mode 3733, owned by the
#                       teacher), written by pupils' own accounts through its
#                       Samba share and on the folder itself; no pupil lists
#                       it or reads another's record; without the share's
#                       "case sensitive = yes" the share refuses the record
#   planted_link        a link planted under a record's temporary name, in the
#                       drop box and on the share, is never followed
#
# After each: every record in the folder is valid against the schema, each
# record submitted is there exactly once, no temporary file is left and the
# outboxes are empty.
#
# The share (tests/lib/samba_share.sh): the README's drop-box folder and
# Samba share, taken from the README; Debian's smbd bound to 127.0.0.1 of a
# private network namespace (so port 445 is ours alone), mounted with
# smbnetfs (FUSE) in a private mount namespace. Needs root; skipped without.
# Prints the figures of the run (how long each step took).
#
# usage: results_delivery.sh <case> <results_driver> <result.schema.json>
set -euo pipefail

case=$1
driver_built=$2
schema=$3

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root for private namespaces, smbd and FUSE"
  exit 77
fi
if [ -z "${DROBI_RESULTS_NAMESPACE:-}" ]; then
  DROBI_RESULTS_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
fi

fail() { echo "FAIL ($case): $*" >&2; exit 1; }
now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f s", b - a }'; }
figure() { echo "figure ($case): $*"; }

work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  set +e
  stop_share
  umount "$work/small" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The driver, where every account may run it.
mkdir -p "$work/bin"
cp "$driver_built" "$work/bin/results_driver"
driver=$work/bin/results_driver

# ---- the share ------------------------------------------------------------

# The README's drop box, and its share mounted with the pupil's password.
source "$(dirname "$0")/../../tests/lib/samba_share.sh"
pupil=$share_pupil
pupil2=$share_pupil2
prepare_share "$work" "$pupil"
share=$share_dir
box=$share
folder=$share_folder

# ---- checks ---------------------------------------------------------------

# check_records <folder on disk> <file of expected ids>: the folder holds
# exactly these records, once each, each valid against the schema, and
# nothing else of ours.
check_records() {
  /usr/bin/python3 - "$1" "$2" "$schema" <<'PY' || fail "records in $1 do not match"
import json, os, sys
import jsonschema
folder, ids_file, schema_file = sys.argv[1:]
schema = json.load(open(schema_file))
validator = jsonschema.Draft202012Validator(schema)
expected = sorted(open(ids_file).read().split())
names = sorted(os.listdir(folder))
leftovers = [n for n in names if not n.endswith(".drobi.json") or n.startswith(".")]
if leftovers:
    sys.exit(f"left in the folder: {leftovers}")
found = []
for name in names:
    record = json.load(open(os.path.join(folder, name), encoding="utf-8"))
    errors = [e.message for e in validator.iter_errors(record)]
    if errors:
        sys.exit(f"{name} is not valid: {errors[:3]}")
    if name != record["id"] + ".drobi.json":
        sys.exit(f"{name} holds record {record['id']}")
    found.append(record["id"])
if found != expected:
    sys.exit(f"expected {len(expected)} records, found {len(found)}: "
             f"missing {sorted(set(expected) - set(found))}, unexpected {sorted(set(found) - set(expected))}")
PY
}
outbox_empty() {
  local left
  left=$(find "$@" -name '*.drobi.json' 2>/dev/null | wc -l)
  [ "$left" -eq 0 ] || fail "$left record(s) still in the outbox"
}
# Waits until a record's temporary file is being written in the folder on disk.
wait_for_part() {
  for _ in $(seq 400); do
    compgen -G "$1/.*.part" >/dev/null && return 0
    sleep 0.02
  done
  fail "no delivery in progress in $1"
}
# Runs the next start's delivery until the folder takes what waits (the
# program retries every 30 seconds; here a failed try is retried at once).
next_start() {
  local tries=0
  until "$driver" start "$@" >"$work/log/start.out"; do
    tries=$((tries + 1))
    [ $tries -lt 20 ] || fail "the next start did not deliver: $(cat "$work/log/start.out")"
    sleep 0.5
  done
}

# ---- the cases ------------------------------------------------------------

case "$case" in
share_concurrent)
  start_smbd || fail "no share"
  mount_share || fail "no share"
  t=$(now)
  pids=()
  for i in $(seq 30); do
    "$driver" submit --outbox "$work/outbox$i" --folder "$folder" --name "Ученик $i" >"$work/said$i" &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || fail "program $((i + 1)) did not deliver: $(cat "$work/said$((i + 1))")"
  done
  figure "30 records delivered at once in $(took "$t")"
  cat "$work"/said* | awk '{ print $2 }' >"$work/ids"
  check_records "$box" "$work/ids"
  outbox_empty "$work"/outbox*
  ;;
share_smbd_stopped)
  start_smbd || fail "no share"
  mount_share || fail "no share"
  "$driver" submit --outbox "$work/outbox" --folder "$folder" --pad 40000000 >"$work/out" &
  program=$!
  wait_for_part "$box"
  t=$(now)
  stop_smbd
  status=0
  wait "$program" || status=$?
  [ "$status" -eq 3 ] || fail "the program said $(cat "$work/out") (status $status) with smbd gone"
  figure "smbd killed mid-delivery; the program kept the record after $(took "$t")"
  awk '{ print $2 }' "$work/out" >"$work/ids"
  [ ! -e "$box/$(cat "$work/ids").drobi.json" ] || fail "a record arrived although smbd was killed while writing it"
  start_smbd || fail "smbd did not start again"
  t=$(now)
  next_start --outbox "$work/outbox" --folder "$folder"
  figure "smbd started again; the next start delivered in $(took "$t"): $(cat "$work/log/start.out")"
  check_records "$box" "$work/ids"
  outbox_empty "$work/outbox"
  ;;
share_unmounted)
  start_smbd || fail "no smbd"
  t=$(now)
  status=0
  "$driver" submit --outbox "$work/outbox" --folder "$folder" >"$work/out" || status=$?
  [ "$status" -eq 3 ] || fail "the program said $(cat "$work/out") (status $status) with the share not mounted"
  figure "share not mounted: record kept in the outbox in $(took "$t")"
  awk '{ print $2 }' "$work/out" >"$work/ids"
  mount_share || fail "the share did not mount again"
  t=$(now)
  next_start --outbox "$work/outbox" --folder "$folder"
  figure "share mounted; the next start delivered in $(took "$t"): $(cat "$work/log/start.out")"
  check_records "$box" "$work/ids"
  outbox_empty "$work/outbox"
  ;;
share_killed)
  start_smbd || fail "no share"
  mount_share || fail "no share"
  "$driver" submit --outbox "$work/outbox" --folder "$folder" --pad 40000000 >"$work/out" &
  program=$!
  wait_for_part "$box"
  kill -9 "$program"
  wait "$program" 2>/dev/null || true
  id=$(basename "$(ls "$work/outbox")" .drobi.json)
  echo "$id" >"$work/ids"
  [ ! -e "$box/$id.drobi.json" ] || fail "a record arrived although the program was killed while writing it"
  figure "program killed mid-delivery: $(ls -A "$box" | wc -l) temporary file(s) of it left, record in the outbox"
  t=$(now)
  next_start --outbox "$work/outbox" --folder "$folder"
  figure "the next start delivered in $(took "$t"): $(cat "$work/log/start.out")"
  check_records "$box" "$work/ids"
  outbox_empty "$work/outbox"
  ;;
disk_full)
  mkdir -p "$work/small"
  mount -t tmpfs -o size=256k,mode=0755 tmpfs "$work/small"
  mkdir "$work/small/box"
  t=$(now)
  status=0
  "$driver" submit --outbox "$work/outbox" --folder "$work/small/box" --pad 1000000 >"$work/out" || status=$?
  [ "$status" -eq 3 ] || fail "the program said $(cat "$work/out") (status $status) on a full disk"
  [ -z "$(ls -A "$work/small/box")" ] || fail "left on the full disk: $(ls -A "$work/small/box")"
  figure "disk full: nothing left in the folder, record kept in the outbox in $(took "$t")"
  awk '{ print $2 }' "$work/out" >"$work/ids"
  mount -o remount,size=8m "$work/small"
  t=$(now)
  next_start --outbox "$work/outbox" --folder "$work/small/box"
  figure "room made; the next start delivered in $(took "$t")"
  check_records "$work/small/box" "$work/ids"
  outbox_empty "$work/outbox"
  ;;
dropbox|planted_link)
  # The README's drop box: pupils may create files and pass through, but
  # neither list nor read; the teachers' group reads every record.
  dropbox=$share_dir
  as_pupil() {
    local account=$1
    shift
    mkdir -p "$work/home-$account"
    chown "$account" "$work/home-$account"
    setpriv --reuid "$account" --regid "$account" --clear-groups \
      env HOME="$work/home-$account" "$@"
  }
  if as_pupil "$pupil" ls "$dropbox" >/dev/null 2>&1; then
    fail "a pupil may list the drop box"
  fi
  if [ "$case" = dropbox ]; then
    start_smbd || fail "no share"
    mount_share || fail "no share"
    # The first pupil through the share (smbnetfs with the pupil's password),
    # the second on the folder itself.
    : >"$work/ids"
    for account in "$pupil" "$pupil2"; do
      into=$dropbox
      [ "$account" = "$pupil" ] && into=$folder
      t=$(now)
      as_pupil "$account" "$driver" submit --outbox "$work/home-$account/outbox" --folder "$into" >"$work/out" \
        || fail "$account could not deliver into $into: $(cat "$work/out")"
      figure "$account delivered into $into in $(took "$t")"
      id=$(awk '{ print $2 }' "$work/out")
      echo "$id" >>"$work/ids"
      [ "$(stat -c '%U %G %a' "$dropbox/$id.drobi.json")" = "$account drobi-test-teachers 640" ] \
        || fail "record is $(stat -c '%U %G %a' "$dropbox/$id.drobi.json")"
    done
    if as_pupil "$pupil" ls "$folder" >/dev/null 2>&1 || as_pupil "$pupil" cat "$folder/$id.drobi.json" >/dev/null 2>&1; then
      fail "a pupil may list the share or read another pupil's record through it"
    fi
    check_records "$dropbox" "$work/ids"
    outbox_empty "$work"/home-*/outbox
    # Without the share's "case sensitive = yes" the pupil's record is
    # refused, and the reason given is that the file cannot be created.
    stop_share
    sed -i '/^ *case sensitive *=/d' "$work/smb.conf"
    start_smbd || fail "no share"
    mount_share || fail "no share"
    status=0
    as_pupil "$pupil" "$driver" submit --outbox "$work/home-$pupil/refused" --folder "$folder" >"$work/out" 2>"$work/err" \
      || status=$?
    [ "$status" -eq 3 ] && grep -q '^cannot create ' "$work/err" \
      || fail "without case sensitivity the share said $(cat "$work/out" "$work/err") (status $status)"
    figure "the share without case sensitivity: $(cat "$work/err")"
    check_records "$dropbox" "$work/ids"
  else
    # Another pupil plants a link under a record's temporary name, aimed at
    # a file of the pupil's own; the sticky folder does not let the pupil
    # remove the link, so the record waits, and the file is untouched.
    id=$(cat /proc/sys/kernel/random/uuid)
    echo "$id" >"$work/ids"
    mkdir -p "$work/home-$pupil"
    echo "the pupil's own file" >"$work/home-$pupil/own"
    chown "$pupil" "$work/home-$pupil/own"
    as_pupil "$pupil2" ln -s "$work/home-$pupil/own" "$dropbox/.$id.drobi.json.part"
    status=0
    as_pupil "$pupil" "$driver" submit --id "$id" --outbox "$work/home-$pupil/outbox" --folder "$dropbox" >"$work/out" \
      || status=$?
    [ "$status" -eq 3 ] || fail "the program said $(cat "$work/out") (status $status) past a planted link"
    [ "$(cat "$work/home-$pupil/own")" = "the pupil's own file" ] || fail "the planted link was followed"
    figure "a link planted in the drop box: not followed, the record waits"
    # The teacher removes it; the next start delivers.
    rm "$dropbox/.$id.drobi.json.part"
    as_pupil "$pupil" "$driver" start --outbox "$work/home-$pupil/outbox" --folder "$dropbox" >/dev/null \
      || fail "the next start did not deliver"
    check_records "$dropbox" "$work/ids"
    # On the share: a link under the pupil's own account in the share's
    # folder, aimed at another file of the share, is removed, not written through.
    start_smbd || fail "no share"
    mount_share || fail "no share"
    id=$(cat /proc/sys/kernel/random/uuid)
    echo "$id" >>"$work/ids"
    echo "another record" >"$share/other"
    chown "$pupil" "$share/other"
    ln -s "$share/other" "$box/.$id.drobi.json.part"
    chown -h "$pupil" "$box/.$id.drobi.json.part"
    "$driver" submit --id "$id" --outbox "$work/outbox" --folder "$folder" >"$work/out" \
      || fail "could not deliver past a link on the share: $(cat "$work/out")"
    [ "$(cat "$share/other")" = "another record" ] || fail "the link planted on the share was followed"
    figure "a link planted on the share: removed, not followed, the record delivered"
    rm "$share/other"
    check_records "$box" "$work/ids"
    outbox_empty "$work/outbox" "$work/home-$pupil/outbox"
  fi
  ;;
*)
  fail "no such case"
  ;;
esac
echo "ok: $case"
