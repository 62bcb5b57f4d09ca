#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages drobi needs, skipping those already installed.
# Needs root (or sudo) only when something is missing.
#
# usage: install-deps.sh [build|test|bundle]
#   build   what building and running the program need (the default; `make
#           build`, `make run`)
#   test    that and the test toolchain (`make test`)
#   bundle  that and what `make bundle` and its offline check need
set -euo pipefail

group=${1:-build}

build=(
  # build: compiler, Qt, Debian's hardening flags and package tools, the PNG
  # icons made from the SVG
  cmake g++ make qt6-base-dev libgl-dev dpkg-dev file librsvg2-bin
  # the teacher's class window: its charts (Qt Charts needs Qt's OpenGL
  # modules' CMake files), the XLSX export, found through pkg-config
  qt6-charts-dev libqt6opengl6-dev libxlsxwriter-dev pkg-config
  # run: fonts that stand in for the design's fonts, Qt's Russian texts
  fonts-liberation2 fonts-urw-base35 qt6-translations-l10n
  # run: Qt's SQLite driver, for the class window's record hashes
  libqt6sql6-sqlite
)
test=(
  # a real X server, window tools, screenshots, desktop file and package checks
  xvfb xauth x11-utils xdotool imagemagick desktop-file-utils appstream libxcb1-dev lintian
  # a Wayland compositor without a screen, and Qt's Wayland platform
  weston qt6-wayland
  # the accessibility bus and a client of it (the answer key's seal, and
  # tst_a11y_events, which needs Qt's accessibility live)
  at-spi2-core python3-pyatspi dbus-x11
  # the results folder's delivery tests: a real Samba server and its share
  # mounted through FUSE, records checked against their JSON Schema, the
  # private network namespace's loopback, smbd's per-connection processes
  samba smbnetfs fuse3 python3-jsonschema iproute2 procps
  # the sanitizer and fuzzing build (clang, its sanitizer and libFuzzer
  # runtimes, llvm-symbolizer for readable stack traces)
  clang libclang-rt-14-dev llvm
  # the class window's exports read back: XLSX by openpyxl, PDF by pdftotext
  python3-openpyxl poppler-utils
  # the function size check over the program's code
  clang-tidy
)
bundle=(
  # a minimal Debian 12 to find what it lacks and to try the bundle in; the
  # bundle's package index
  mmdebstrap apt-utils xvfb xauth xdotool x11-utils imagemagick
)

case "$group" in
  build) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" "${test[@]}") ;;
  bundle) packages=("${build[@]}" "${bundle[@]}") ;;
  *) echo "usage: $0 [build|test|bundle]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing Debian packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
