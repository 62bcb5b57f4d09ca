#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A lesson of one class, for real: 30 pupils of 6Б on a class list, each in
# a drobi window of their own, writing into the Samba share of the delivery
# tests, and the teacher's class window open on it the whole time. Takes
# about 4 minutes (LESSON_MINUTES=3, the test's length, plus the pupils'
# starts); on demand, never in the test command. Needs root (private
# network and mount namespaces, smbd, FUSE).
#
#   bash bench/class_lesson.sh [build folder]          # build/ by default
#   LESSON_SHOTS=docs bash bench/class_lesson.sh       # also docs/class-live-writing.png
#
# The share is tests/lib/samba_share.sh's (smbd on 127.0.0.1, the README's
# drop box and share, mounted through smbnetfs with a pupil's password): the
# pupils write through the mount, the teacher's window reads the share's
# folder on the server's side (a pupil's account may not list a drop box).
# One Xvfb with a Russian keyboard, a private D-Bus session and AT-SPI bus:
# class_lesson.py drives the pupils' windows with xdotool and reads the class
# window's «Список класса» through AT-SPI every 5 s; see its head comment
# for the lesson's plan and the summary it prints.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "needs root: private network and mount namespaces, smbd, FUSE" >&2
  exit 1
fi
if [ -z "${DROBI_LESSON_NAMESPACE:-}" ]; then
  DROBI_LESSON_NAMESPACE=1 exec unshare --net --mount --propagation private bash "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
build=$(realpath "${1:-$repo/build}")
for program in drobi drobi-class; do
  [ -x "$build/$program" ] || { echo "no $build/$program (cmake --build $build --target drobi drobi-class)" >&2; exit 2; }
done
shots=""
if [ -n "${LESSON_SHOTS:-}" ]; then
  mkdir -p "$LESSON_SHOTS"
  shots=$(realpath "$LESSON_SHOTS")
fi
source "$repo/tests/lib/samba_share.sh"

work=$(mktemp -d)
cleanup() {
  set +e
  stop_share
  rm -rf "$work"
}
trap cleanup EXIT
prepare_share "$work" "$share_pupil"
start_smbd
mount_share
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

A11Y_BUS_SCREEN=1600x1200x24 bash "$repo/tests/lib/a11y_bus.sh" \
  /usr/bin/python3 "$here/class_lesson.py" "$build" "$work/lesson" "$share_folder" "$share_dir" "${LESSON_MINUTES:-3}" "$shots"
