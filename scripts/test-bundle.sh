#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The offline install, tried on demand (it takes minutes, so it is not part of
# `make test`): makes a fresh minimal Debian 12 with mmdebstrap, copies the
# bundle in, runs its install.sh there with no network at all (unshare -n),
# then checks that drobi runs there: `drobi --version`, and its window on an
# X server of this machine (Xvfb), found by its title and WM_CLASS, with a
# screenshot left in <bundle>/../bundle-test.png. Needs root.
#
# usage: test-bundle.sh <bundle folder>
set -euo pipefail

bundle=$(cd "$1" && pwd)
shot="$(dirname "$bundle")/bundle-test.png"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$bundle/install.sh" ] || fail "no $bundle/install.sh: run make bundle first"
version=$(dpkg-deb -f "$bundle"/debs/drobi_*.deb Version)

work=$(mktemp -d)
root="$work/root"
app=""
source "$(dirname "${BASH_SOURCE[0]}")/../tests/lib/xvfb.sh"
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  stop_xvfb
  # The X socket folder is this machine's own: never remove through it.
  if mountpoint -q "$root/tmp/.X11-unix" && ! umount "$root/tmp/.X11-unix"; then
    echo "left $work in place: $root/tmp/.X11-unix is still mounted" >&2
    return
  fi
  [ -n "${DROBI_KEEP_ROOT:-}" ] && echo "kept $root" || rm -rf --one-file-system "$work"
}
trap cleanup EXIT

start=$SECONDS
mmdebstrap --variant=minbase --quiet bookworm "$root" \
  "deb http://deb.debian.org/debian bookworm main" \
  "deb http://deb.debian.org/debian bookworm-updates main" \
  "deb http://deb.debian.org/debian-security bookworm-security main"
echo "minimal Debian 12: $(du -sh "$root" | cut -f1) in $((SECONDS - start)) s"

cp -a "$bundle" "$root/bundle"
start=$SECONDS
unshare -n chroot "$root" /bundle/install.sh || fail "install.sh failed"
echo "offline install: $((SECONDS - start)) s, the system now $(du -sh --exclude=bundle "$root" | cut -f1)"

got=$(chroot "$root" drobi --version)
[ "$got" = "drobi $version" ] || fail "drobi --version says '$got'"
echo "ok: $got"

# The window, on this machine's Xvfb through its socket.
start_xvfb 800x800x24 || fail "Xvfb did not start"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
mkdir -m 700 -p "$root/run/drobi"
chroot "$root" env -i DISPLAY="$DISPLAY" XDG_RUNTIME_DIR=/run/drobi drobi &
app=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --classname drobi | head -n1) \
  || fail "the installed drobi showed no window"
sleep 1
title=$(xdotool getwindowname "$win")
case "$title" in "Тест для 6 класса"*) ;; *) fail "the window's title is '$title'" ;; esac
xprop -id "$win" WM_CLASS | grep -q '"drobi", "drobi"' || fail "WM_CLASS is $(xprop -id "$win" WM_CLASS)"
import -window root "$shot"
kill -0 "$app" || fail "the installed drobi ended"
echo "ok: the installed drobi shows its window; screenshot $shot"
