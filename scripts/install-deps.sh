#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages drobi needs to build, run and test, skipping
# those already installed. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  # build
  cmake g++ make qt6-base-dev libgl-dev
  # run: fonts that stand in for the design's fonts, Qt's Russian texts
  fonts-liberation2 fonts-urw-base35 qt6-translations-l10n
  # test: a real X server, window tools, screenshots, desktop file checks, packaging
  xvfb xauth x11-utils xdotool imagemagick desktop-file-utils appstream dpkg-dev file libxcb1-dev
  # test: the sanitizer and fuzzing build (clang, its sanitizer and libFuzzer
  # runtimes, llvm-symbolizer for readable stack traces)
  clang libclang-rt-14-dev llvm
)

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
