#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Who wrote a record, as the class window sees it in a drop box made by the
# README's own recipe, with real accounts: each row a record written by one
# account with a login in it, and what «Проверка» must say in the teacher's
# export (read as the teacher, the folder's owner). A pupil's file proves
# the pupil's account; a file of the teacher's own proves nothing.
# Needs root for the accounts and a private mount namespace (a tmpfs over
# /srv); skipped without.
#
# usage: class_trust.sh DROBI_CLASS MAKE_CLASS_RECORDS
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root for the accounts and a private mount namespace"
  exit 77
fi
if [ -z "${DROBI_TRUST_NAMESPACE:-}" ]; then
  DROBI_TRUST_NAMESPACE=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
drobi_class=$1
make_records=$2
fail() { echo "FAIL ($row): $*" >&2; exit 1; }
row=setup

source "$(dirname "$0")/lib/samba_share.sh"
work=$(mktemp -d)
trap 'umount /srv 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
share_accounts
mount -t tmpfs -o size=16m,mode=0755 tmpfs /srv
bash -euc "$(readme_recipe "drop-box folder")"
box=/srv/drobi-results
teacher=$share_teacher
mkdir -p "$work/bin" "$work/teacher"
cp "$drobi_class" "$work/bin/drobi-class"
chown "$teacher" "$work/teacher"
: >"$work/school.conf"

# row WRITER LOGIN EXPECTED: a record with LOGIN put into the drop box by
# WRITER (the teacher's copy: written as root, given to the teacher), then
# «Проверка» of the teacher's export.
check_row() {
  local writer=$1 login=$2 expected=$3 gen record out data
  gen=$(mktemp -d -p "$work")
  chmod 755 "$gen"
  "$make_records" "$gen" 1 >/dev/null
  record=$(ls "$gen")
  sed -i "s/\"login\": \"pupil\"/\"login\": \"$login\"/" "$gen/$record"
  grep -q "\"login\": \"$login\"" "$gen/$record" || fail "the record has no login to change"
  chmod 644 "$gen/$record"
  rm -f "$box"/*.drobi.json
  if [ "$writer" = "$teacher" ]; then
    cp "$gen/$record" "$box/" && chown "$teacher" "$box/$record"
  else
    runuser -u "$writer" -- cp "$gen/$record" "$box/"
  fi
  [ "$(stat -c %U "$box/$record")" = "$writer" ] || fail "the file is not $writer's"
  out=$work/teacher/out.csv
  # A first read of its own for each row: the rows before it are gone.
  data=$(mktemp -d -p "$work/teacher")
  chown "$teacher" "$data"
  runuser -u "$teacher" -- env HOME="$data" XDG_DATA_HOME="$data" QT_QPA_PLATFORM=offscreen \
    "$work/bin/drobi-class" "$box" --settings "$work/school.conf" --export "$out" --date all 2>/dev/null \
    || fail "the export failed"
  local got owner
  got=$(awk -F';' 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "Проверка") c = i } NR == 2 { print $c }' "$out")
  owner=$(awk -F';' 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "Владелец файла") c = i } NR == 2 { print $c }' "$out")
  [ "$got" = "$expected" ] || fail "«Проверка» reads «$got», not «$expected»"
  [ "$owner" = "$writer" ] || fail "«Владелец файла» reads «$owner», not «$writer»"
  echo "ok ($row): $got"
}

row="own record"
check_row "$share_pupil" "$share_pupil" "сходится"
row="a classmate's login"
check_row "$share_pupil" "$share_pupil2" "не сходится"
row="copied in by the teacher"
check_row "$teacher" "$share_pupil2" "сходится"
