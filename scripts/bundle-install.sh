#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs drobi from this folder alone, with no network: the folder holds
# drobi's package and every Debian 12 package it needs that a minimal Debian
# 12 lacks (scripts/make-bundle.sh made it). Run as root: sudo ./install.sh
#
# apt reads only this folder's index, in lists of its own, so the machine's
# own package sources and lists are neither used nor changed. Packages the
# machine already has stay as they are. Installing a newer bundle over an
# older one updates drobi.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ]; then
  echo "install.sh: run it as root: sudo $0" >&2
  exit 1
fi

state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
mkdir -p "$state/lists/partial"
echo "deb [trusted=yes] file:$here/debs ./" > "$state/sources.list"
set -- -o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts=/dev/null \
       -o Dir::State::Lists="$state/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= \
       -o APT::Sandbox::User=root

apt-get "$@" -q update
DEBIAN_FRONTEND=noninteractive apt-get "$@" -q install --yes --no-install-recommends drobi
echo "drobi installed: $(dpkg-query -W -f='${Version}' drobi)"
