#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes <build folder>/bundle/: drobi's Debian package, every Debian 12
# package it needs that a minimal Debian 12 (mmdebstrap --variant=minbase)
# lacks, an index apt reads, and install.sh, which installs drobi from that
# folder alone, with no network. Copy the folder to a USB stick and run
# `sudo ./install.sh` from it on each machine.
#
# What a minimal system lacks is found by making one: mmdebstrap builds a
# minimal Debian 12 (from Debian's mirror, with its updates and security
# updates), where apt downloads drobi's dependencies without installing them.
# Needs root and Debian's mirror; takes a few minutes.
#
# usage: make-bundle.sh <build folder>
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
bundle="$build/bundle"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$bundle"
mkdir -p "$bundle/debs"
(cd "$build" && cpack -G DEB -B "$bundle/debs" >/dev/null)
rm -rf "$bundle/debs/_CPack_Packages"
deb=$(ls "$bundle"/debs/drobi_*.deb)
[ -f "$deb" ] || fail "cpack made no drobi package"

mmdebstrap --variant=minbase --quiet \
  --customize-hook="copy-in '$deb' /tmp" \
  --customize-hook='chroot "$1" apt-get clean' \
  --customize-hook="chroot \"\$1\" apt-get install -qq --download-only --yes --no-install-recommends '/tmp/$(basename "$deb")'" \
  --customize-hook="sync-out /var/cache/apt/archives '$bundle/debs'" \
  bookworm /dev/null \
  "deb http://deb.debian.org/debian bookworm main" \
  "deb http://deb.debian.org/debian bookworm-updates main" \
  "deb http://deb.debian.org/debian-security bookworm-security main"
rm -rf "$bundle/debs/partial" "$bundle/debs/lock"

# A flat repository: the packages and their index, read by install.sh.
(cd "$bundle/debs" && apt-ftparchive packages . > Packages && gzip -9nk Packages \
  && apt-ftparchive release . > Release)
install -m 755 "$here/bundle-install.sh" "$bundle/install.sh"

count=$(ls "$bundle"/debs/*.deb | wc -l)
echo "bundle: $bundle: $count packages, $(du -sh "$bundle" | cut -f1)"
