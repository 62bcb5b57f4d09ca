#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder, checks its control fields
# and contents with dpkg-deb, that the desktop entry's icon is among them, runs the packaged program's --version and --help,
# checks that every place naming the version names the same one, and has
# lintian --pedantic find no error and no warning. Installs nothing on this
# machine.
#
# Output is matched from variables, never through a pipe into `grep -q`:
# grep -q stops reading at its first match, the writer then dies of SIGPIPE
# and pipefail makes the whole check fail although the line was there.
#
# usage: package_deb.sh <build folder> <version> <desktop ID> <class window's desktop ID> <practice's desktop ID>
set -euo pipefail

build=$1
version=$2
id=$3
class_id=$4
practice_id=$5
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
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 fonts-liberation2 fonts-urw-base35 qt6-translations-l10n \
           libqt6charts6 libqt6sql6 libqt6sql6-sqlite libxlsxwriter; do
  case "$depends" in *"$dep"*) ;; *) fail "Depends lacks $dep: $depends" ;; esac
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/drobi \
            ./usr/libexec/drobi/drobi-class \
            ./usr/share/applications/$id.desktop \
            ./usr/share/applications/$class_id.desktop \
            ./usr/share/applications/$practice_id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/man/man1/drobi.1.gz \
            ./usr/share/doc/drobi/copyright \
            ./usr/share/doc/drobi/changelog.gz \
            ./usr/share/doc/drobi/examples/drobi.conf; do
  grep -qxF -- "$path" <<<"$contents" || fail "package lacks $path"
done
if grep -E '\.(a|h)$|/include/|/tests?/' <<<"$contents"; then
  fail "package holds build or test files"
fi

root="$out/root"
dpkg-deb -x "$deb" "$root"

# Each PNG icon has the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  kind=$(file -b "$png")
  case "$kind" in "PNG image data, $size x $size,"*) ;; *) fail "${size}x${size} icon is $kind" ;; esac
done

# The desktop entry names an icon the package installs, in the scalable
# size and as PNG, so menus and docks find it.
entry="$root/usr/share/applications/$id.desktop"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] && [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] \
  || fail "the desktop entry's Icon=$icon names no icon the package installs"

# --version and --help print and exit 0, with no display needed.
bin="$root/usr/bin/drobi"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$@"; }
printed=$(headless --version)
[ "$printed" = "drobi $version" ] || fail "--version prints '$printed'"
printed=$(headless --help)
grep -q '^Usage: drobi' <<<"$printed" || fail "--help prints no usage"
grep -q -- '--practice' <<<"$printed" || fail "--help does not list --practice"
# --class hands over to the installed drobi-class.
printed=$(headless --class --help)
grep -q '^Usage: drobi --class' <<<"$printed" || fail "drobi --class --help does not reach drobi-class"

# The changelog, the AppStream data and the man page name this version: apt
# replaces an installed copy only with a higher version, so it is raised in
# all of them for every build handed out.
changelog=$(zcat "$root/usr/share/doc/drobi/changelog.gz")
changelog=${changelog%%$'\n'*}
case "$changelog" in "drobi ($version) "*) ;; *) fail "changelog starts: $changelog" ;; esac
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" \
  || fail "AppStream data has no release $version"
manual=$(zcat "$root/usr/share/man/man1/drobi.1.gz")
grep -q "^\.TH DROBI 1 .*\"drobi $version\"" <<<"$manual" \
  || fail "man page is not for $version"

# lintian: no error, no warning, and none of its hardening notes.
hints=$(lintian --pedantic --info --fail-on error,warning "$deb" 2>/dev/null) \
  || fail "lintian failed or objects to the package: $hints"
if printf '%s\n' "$hints" | grep -E '^I: .*hardening-'; then
  fail "the program lacks hardening"
fi
echo "ok: $(basename "$deb"), Depends: $depends"
