#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder and checks its control
# fields and contents with dpkg-deb. Installs nothing on this machine.
#
# usage: package_deb.sh <build folder> <version>
set -euo pipefail

build=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)

deb="$out/drobi_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = drobi ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = education ] || fail "Section is $(field Section)"
depends=$(field Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 fonts-liberation2 fonts-urw-base35 qt6-translations-l10n; do
  case "$depends" in *"$dep"*) ;; *) fail "Depends lacks $dep: $depends" ;; esac
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/drobi \
            ./usr/share/applications/io.github.drobi.Drobi.desktop \
            ./usr/share/metainfo/io.github.drobi.Drobi.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/io.github.drobi.Drobi.svg; do
  printf '%s\n' "$contents" | grep -qx "$path" || fail "package lacks $path"
done
if printf '%s\n' "$contents" | grep -E '\.(a|h)$|/include/|/tests?/'; then
  fail "package holds build or test files"
fi
echo "ok: $(basename "$deb"), Depends: $depends"
